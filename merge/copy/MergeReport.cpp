#include "merge/copy/MergeReport.h"

MergeReport::MergeReport(const MergeResult& result) : MergeResult(result) {}

#include "merge/encoding/MergeReport.h"

MergeReport::MergeReport(const MergeResult& result) : MergeResult(result) {}

#include "merge/copy/CopyWatch.h"

CopyWatch::~CopyWatch() = default;

// Compiled only by the layering tests: a target that links the merge list's core
// library alone must not find the header of its widget half.
#include "mergelist/MergeListView.h"

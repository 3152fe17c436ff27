#pragma once

#include "merge/result/MergeResult.h"
#include "text/TextEncoding.h"

#include <QList>

// An input whose text went into the output converted.
struct ConvertedInput
{
    NativePath path;
    TextEncoding from = TextEncoding::Ascii;
    TextEncoding to = TextEncoding::Ascii;
};

// How a whole copy or merge went, and on success the inputs whose text was
// converted, in the list's order: what the user is told besides its outcome.
struct MergeReport : MergeResult
{
    MergeReport() = default;
    // Implicit: a step's result is the merge's, with nothing converted.
    MergeReport(const MergeResult& result); // NOLINT(google-explicit-constructor)

    QList<ConvertedInput> converted;
};

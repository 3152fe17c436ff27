#pragma once

#include "merge/copy/CopyWatch.h"
#include "text/EncodingRule.h"

// Follows an input that the byte copy writes once more: leaves its byte-order mark
// out where that is to go, and finds its encoding again, to tell whether it still
// goes in the way it was to.
class FoundAgain final : public CopyWatch
{
public:
    FoundAgain(const DetectedEncoding& found, const EncodingRule& rule);

    [[nodiscard]] EncodingRule scanRule() const override;
    [[nodiscard]] bool feed(qsizetype input, const InputScan& scan) override;
    [[nodiscard]] bool endInput(qsizetype input, qint64 outputEnd) override;

    [[nodiscard]] bool changed() const;

private:
    const EncodingRule& m_rule;
    const InputAction m_action;
    DetectedEncoding m_found;
    bool m_changed = false;
};

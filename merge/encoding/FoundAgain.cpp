#include "merge/encoding/FoundAgain.h"

FoundAgain::FoundAgain(const DetectedEncoding& found, const EncodingRule& rule)
    : m_rule(rule), m_action(rule.actionFor(found))
{}

EncodingRule FoundAgain::scanRule() const
{
    return {};
}

bool FoundAgain::feed(qsizetype /*input*/, const InputScan& scan)
{
    m_found = scan.whole;
    return true;
}

bool FoundAgain::endInput(qsizetype /*input*/, qint64 /*outputEnd*/)
{
    m_changed = m_rule.actionFor(m_found) != m_action;
    return true;
}

bool FoundAgain::changed() const
{
    return m_changed;
}

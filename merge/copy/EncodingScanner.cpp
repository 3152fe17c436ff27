#include "merge/copy/EncodingScanner.h"

#include <utility>

EncodingScanner::EncodingScanner(EncodingRule rule) : m_rule(std::move(rule)) {}

InputScan EncodingScanner::scan(qsizetype input, const char* data, qsizetype size)
{
    if (input != m_input) {
        if (m_input >= 0)
            m_rule.add(m_detector.result());
        m_input = input;
        m_detector = EncodingDetector(m_rule.isFixed() ? EncodingDetector::Gb18030Check::Unchecked
                                                       : EncodingDetector::Gb18030Check::Checked);
    }
    m_detector.feed(data, size);
    const DetectedEncoding soFar = m_detector.resultSoFar();
    return {soFar,
            m_detector.result(),
            m_detector.isFinal(),
            m_detector.isUtf8SoFar(),
            m_detector.bytesFed(),
            soFar.markSize > 0 && m_detector.bytesFed() == soFar.markSize};
}

#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>

// The bytes of a character that the end of a block cut, kept until the next block
// brings the few that complete it: for the converters, which take whole characters.
// The longest character of any byte encoding here (UTF-8, GB18030) has four bytes.
class CutCharacter final
{
public:
    // Hands `data` to `decode`, a character cut before it first. `decode` takes bytes,
    // uses the whole characters at their start, and returns how many bytes those were,
    // or -1 where the bytes are no text. False where they are not; the bytes of a
    // character cut at the end of `data` are kept.
    template <typename Decode>
    [[nodiscard]] bool feed(QByteArrayView data, Decode&& decode);
    // No character is waiting to be completed.
    [[nodiscard]] bool isEmpty() const { return m_bytes.isEmpty(); }

private:
    static constexpr qsizetype longest = 4;

    QByteArray m_bytes;
};

template <typename Decode>
bool CutCharacter::feed(QByteArrayView data, Decode&& decode)
{
    if (!m_bytes.isEmpty()) {
        // Only the bytes of the cut character wait, with the few that complete it.
        const qsizetype taken = std::min(data.size(), longest - m_bytes.size());
        m_bytes.append(data.first(taken));
        const qsizetype whole = decode(QByteArrayView(m_bytes));
        // Still cut, as long as this block brought no more bytes than it needed.
        if (whole <= 0)
            return whole == 0 && data.size() == taken;
        data = data.sliced(taken - (m_bytes.size() - whole));
        m_bytes.clear();
    }
    const qsizetype whole = decode(data);
    if (whole < 0)
        return false;
    m_bytes = data.sliced(whole).toByteArray();
    return true;
}

#pragma once

#include "text/TextEncoding.h"

#include <QByteArrayView>

#include <functional>
#include <string_view>

// The merge's line rule, the one place it is written: a line ends at CR LF, at a CR
// alone, or at the end of the input, and every line leaves ending in CR LF; an LF
// alone is an ordinary character. The byte copies apply it to bytes, the converter
// to UTF-16 units; the byte loops are vectorised with SSE2 where the target has it,
// and the search with AVX2 where the processor has it.

// The end of every line the merge writes in an encoding of bytes.
inline constexpr char crLf[] = "\r\n";
// A line end in `encoding`: CR LF as bytes, or as two UTF-16 units.
[[nodiscard]] QByteArrayView lineEndIn(TextEncoding encoding);

// The rule's state through one input, given piece by piece. A piece goes out in three
// runs: up to its first lone CR as it is; from there to `settled` with an LF added
// after every lone CR (expandLoneCrs); and the rest, a CR in its last place whose
// successor is not known yet, as it is. Only the rule looks at where pieces meet.
template <typename Unit>
class LineEndRule final
{
public:
    struct Piece
    {
        // An LF goes out before the piece: the CR that ended the piece before stood alone.
        bool lfFirst = false;
        // The first CR not followed by LF, or `settled` when there is none.
        const Unit* loneCr = nullptr;
        // The piece's end, or its last unit where that is a CR.
        const Unit* settled = nullptr;
    };

    // Takes the next piece [data, end) of the input.
    [[nodiscard]] Piece take(const Unit* data, const Unit* end);
    // Takes the next piece and writes it out through the rule at `to`, which needs
    // room for 1 + 2 × (end - data) units and lineEndSlack more; returns the end of
    // what it wrote.
    [[nodiscard]] Unit* write(const Unit* data, const Unit* end, Unit* to);
    // The same for a piece already taken: what write() writes after take().
    [[nodiscard]] static Unit* writeTaken(const Piece& piece, const Unit* data, const Unit* end, Unit* to);
    // A byte-order mark has been taken: a mark is no text, and a mark alone leaves no
    // line open.
    void passMark();
    // What completes the input's last line: an LF after a CR that ended it, CR LF
    // after a line left open, nothing otherwise. The rule then starts a new input.
    [[nodiscard]] std::basic_string_view<Unit> finish();

private:
    // The last unit taken was a CR.
    bool m_pendingCr = false;
    // Units of an unterminated line have been taken.
    bool m_lineOpen = false;
};

extern template class LineEndRule<char>;
extern template class LineEndRule<char16_t>;

// The first CR in [from, end) that is not followed by LF, counting a CR in the last
// place (whose successor is not known yet); `end` when there is none. CR LF pairs
// are passed without stopping, so a block whose line ends are all CR LF is searched
// in one pass.
[[nodiscard]] const char* findLoneCr(const char* from, const char* end);
[[nodiscard]] const char16_t* findLoneCr(const char16_t* from, const char16_t* end);

// Copies [from, end) to `to`, adding an LF after every CR that is not followed by
// LF, and returns the end of what it wrote. The unit after a CR in the last place
// is read to decide, so it must be readable. `to` needs room for twice the input,
// and for bytes lineEndSlack more, which it may overwrite beyond the returned end.
[[nodiscard]] char* expandLoneCrs(const char* from, const char* end, char* to);
[[nodiscard]] char16_t* expandLoneCrs(const char16_t* from, const char16_t* end, char16_t* to);
inline constexpr qsizetype lineEndSlack = 16;

// Expands [from, stop) behind the `used` bytes of `buffer`, which holds `capacity`
// bytes and lineEndSlack more, in pieces that fit even if every byte is a lone CR.
// When not even one more byte pair fits, makeRoom() must write some of the buffer
// out and lower `used`, or return false, which ends the expansion with false. The
// byte at `stop` is read, as by expandLoneCrs().
[[nodiscard]] bool expandLoneCrsInto(const char* from, const char* stop, char* buffer, qsizetype& used,
                                     qsizetype capacity, const std::function<bool()>& makeRoom);

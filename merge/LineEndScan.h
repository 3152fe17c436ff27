#pragma once

#include <QtGlobal>

#include <functional>

// The byte loops of the copy, vectorised with SSE2 where the target has it, and the
// search with AVX2 where the processor has it.

// The first CR in [from, end) that is not followed by LF, counting a CR in the last
// byte (whose successor is not known yet); `end` when there is none. CR LF pairs
// are passed without stopping, so a block whose line ends are all CR LF is searched
// in one pass.
[[nodiscard]] const char* findLoneCr(const char* from, const char* end);

// Copies [from, end) to `to`, adding an LF after every CR that is not followed by
// LF, and returns the end of what it wrote. The byte after a CR in the last place
// is read to decide, so it must be readable. `to` needs room for twice the input
// plus lineEndSlack bytes, which it may overwrite beyond the returned end.
[[nodiscard]] char* expandLoneCrs(const char* from, const char* end, char* to);
inline constexpr qsizetype lineEndSlack = 16;

// The end of every line the merge writes.
inline constexpr char crLf[] = "\r\n";

// Expands [from, stop) behind the `used` bytes of `buffer`, which holds `capacity`
// bytes and lineEndSlack more, in pieces that fit even if every byte is a lone CR.
// When not even one more byte pair fits, makeRoom() must write some of the buffer
// out and lower `used`, or return false, which ends the expansion with false. The
// byte at `stop` is read, as by expandLoneCrs().
[[nodiscard]] bool expandLoneCrsInto(const char* from, const char* stop, char* buffer, qsizetype& used,
                                     qsizetype capacity, const std::function<bool()>& makeRoom);

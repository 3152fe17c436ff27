#pragma once

// The lone-CR search of the line rule thirty-two bytes a step, built for AVX2: call it
// only where the processor has it. Returns the first CR in [from, end) not followed by
// LF, or where it stopped looking (fewer than thirty-three bytes before `end`).
[[nodiscard]] const char* findLoneCr32(const char* from, const char* end);

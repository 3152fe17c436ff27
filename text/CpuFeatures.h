#pragma once

// Which vector instructions the processor offers, asked once. The kernels built for
// them, each in a file named for its instruction set (_ssse3, _avx2), are called only
// where these say so. Where the build has no such kernels (another compiler or
// processor), both say no and the plain loops run.

// How the checks of UTF-8 and GB18030 go: the fastest way the processor offers, or one
// chosen, which the tests compare with the others.
enum class VectorMethod
{
    Fastest,
    Avx2,
    Ssse3,
    ByteByByte,
};

namespace cpu {

[[nodiscard]] bool hasSsse3();
[[nodiscard]] bool hasAvx2();
// Bytes a vector step of the method takes (32 or 16); 0 where it goes byte by byte,
// which a method the processor lacks does.
[[nodiscard]] int vectorWidth(VectorMethod method);
[[nodiscard]] bool isAvailable(VectorMethod method);

} // namespace cpu

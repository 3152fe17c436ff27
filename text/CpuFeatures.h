#pragma once

// Which vector instructions the processor offers, asked once. The kernels built for
// them, each in a file named for its instruction set (_ssse3, _avx2), are called only
// where these say so. Where the build has no such kernels (another compiler or
// processor), both say no and the plain loops run.
namespace cpu {

[[nodiscard]] bool hasSsse3();
[[nodiscard]] bool hasAvx2();

} // namespace cpu

#pragma once

#include "merge/EncodingPlan.h"
#include "merge/MergeResult.h"

#include <atomic>
#include <functional>
#include <memory>

class Gb18030Codec;
class MergeOutput;

// Writes single inputs to the output the way the encoding rule wants where the
// byte copy cannot: without their byte-order mark, or with their text converted
// into the output's encoding. Each input is read again from its start, so what it
// holds now is checked against what was found before: an input that changed
// meanwhile, and no longer goes in the way it was to, fails with InputChanged
// rather than leave half of it converted.
class InputRewriter final
{
public:
    InputRewriter(MergeOutput& output, qsizetype blockSize, const std::atomic<bool>* cancel);
    ~InputRewriter();
    Q_DISABLE_COPY_MOVE(InputRewriter)

    // Reads the whole input for its encoding alone.
    [[nodiscard]] MergeResult detect(const NativePath& path, DetectedEncoding& found);
    // Writes the input as `action` says, found in `found` and going into an
    // `output` encoding; the separator in that encoding goes first when asked.
    [[nodiscard]] MergeResult write(const NativePath& path, const DetectedEncoding& found, InputAction action,
                                    TextEncoding output, bool separatorFirst);

private:
    using Take = std::function<MergeResult(const char* data, qsizetype size)>;
    [[nodiscard]] MergeResult readAll(const NativePath& path, const Take& take);
    [[nodiscard]] MergeResult copyBytes(const NativePath& path, const DetectedEncoding& found,
                                        InputAction action, TextEncoding output);
    [[nodiscard]] MergeResult convert(const NativePath& path, const DetectedEncoding& found,
                                      TextEncoding output);

    MergeOutput& m_output;
    const qsizetype m_blockSize;
    const std::atomic<bool>* const m_cancel;
    std::unique_ptr<char[]> m_block;
    std::unique_ptr<Gb18030Codec> m_codec;
};

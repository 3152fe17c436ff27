#pragma once

#include "base/NativePath.h"
#include "merge/copy/ReadTransform.h"
#include "text/TextTranscoder.h"

class Gb18030Codec;

// An input converted on the thread that reads it, while the text converted before is
// written. It fails naming the input: CannotConvert where a character has no form in
// the output's encoding, InputChanged where the text is not in the encoding found.
class ConversionTransform final : public ReadTransform
{
public:
    ConversionTransform(TextEncoding from, TextEncoding to, Gb18030Codec& codec, const NativePath& path);

    [[nodiscard]] MergeResult start(qsizetype input, TransformOutput& out) override;
    [[nodiscard]] MergeResult take(QByteArrayView data, const InputScan& scan, TransformOutput& out) override;
    [[nodiscard]] MergeResult end(TransformOutput& out) override;

private:
    [[nodiscard]] MergeResult refused() const;

    TextTranscoder m_transcoder;
    const NativePath& m_path;
};

#pragma once

#include "base/NativePath.h"

#include <QString>
#include <QStringView>

#include <optional>

// The output file proposed whenever the file pane moves to another folder: a file
// named "Corvalent.txt" in that folder, as the text shown in the output name.
[[nodiscard]] QString defaultOutputName(const NativePath& folder);

// The name's text from its last "." on; "." followed by the whole name when it holds
// no ".".
[[nodiscard]] QString extensionOf(QStringView name);

// The index in `text` of the last occurrence of the first character of `character`,
// compared without regard to letter case; none when it does not occur or when
// `character` is empty.
[[nodiscard]] std::optional<qsizetype> lastIndexOf(QStringView character, QStringView text);

// The output name as the merge uses it: unchanged when its extension is ".txt" in
// any letter case, otherwise followed by ".txt".
[[nodiscard]] QString withTxtExtension(const QString& name);

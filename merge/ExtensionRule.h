#pragma once

#include <QString>
#include <QStringView>

// The name's text from its last "." on; "." followed by the whole name when it holds
// no ".". Positions are qsizetype so that names of any length are handled.
[[nodiscard]] QString getExtension(QStringView name);

// The 1-based position of the last occurrence in `text` of the first character of
// `character`, compared without regard to letter case; 0 when it does not occur
// (or when `character` is empty).
[[nodiscard]] qsizetype lastPosOf(QStringView character, QStringView text);

// The output name as the merge uses it: unchanged when its extension is ".txt" in
// any letter case, otherwise followed by ".txt".
[[nodiscard]] QString withTxtExtension(const QString& name);

#pragma once

#include <QString>

// An output name cut at its last separator.
struct OutputPathParts
{
    // The folder part with its trailing separator; empty when the name has none,
    // which means the current working folder.
    QString folder;
    // The file-name part; the existence test reads it as a pattern.
    QString fileName;
};

// Cuts an output name at its last separator: "/" everywhere, and also the platform's
// own separator where it differs ("\" on Windows).
[[nodiscard]] OutputPathParts splitOutputPath(const QString& name);

// The folder part in a form that can be opened as a folder: "." for an empty part.
[[nodiscard]] QString openableFolder(const OutputPathParts& parts);

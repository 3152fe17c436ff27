#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QUrl;

// A path as the file system stores it: bytes on POSIX systems, where a name need not
// be valid in any encoding (archives from Chinese Windows bring names in GBK), and
// UTF-16 on Windows. Every file operation uses this native form; the text shown to
// the user is derived from it by display() and is never turned back into a path.
//
// Paths handed out by the panes are absolute and cleaned: a file-system root keeps
// its trailing separator ("/", "C:\"), any other folder has none.
class NativePath final
{
public:
#ifdef Q_OS_WIN
    using Native = QString;
#else
    using Native = QByteArray;
#endif

    NativePath() = default;
    [[nodiscard]] static NativePath fromNative(Native native);
    // Text typed by the user or written by the program, in the system's encoding
    // for file names (UTF-8 on POSIX systems).
    [[nodiscard]] static NativePath fromText(const QString& text);
    // The local file a "file:" URL names, such as one dropped from a file manager;
    // its percent-encoded bytes are taken as they are.
    [[nodiscard]] static NativePath fromLocalFile(const QUrl& url);
    // The process's current folder.
    [[nodiscard]] static NativePath currentFolder();
    [[nodiscard]] static NativePath separator();

    [[nodiscard]] const Native& native() const;
    [[nodiscard]] bool isEmpty() const;
    // What the user sees: each part of the path decoded as UTF-8 where it is valid
    // UTF-8, else as GB18030 where it is valid GB18030, else with its undecodable
    // bytes and control characters written as \xNN. Identical to the path on Windows.
    [[nodiscard]] QString display() const;
    // The text that stands in front of a name in this folder: display() ending in
    // exactly one separator.
    [[nodiscard]] QString displayAsFolder() const;

    // Absolute, cleaned of "." and "..", in native separators.
    [[nodiscard]] NativePath absolute() const;
    // The path followed by `name`, with exactly one separator between them; an
    // empty path gives the separator followed by the name.
    [[nodiscard]] NativePath child(const NativePath& name) const;
    // The folder that holds this absolute path; a root is its own parent.
    [[nodiscard]] NativePath parent() const;
    // The last part of the path; empty for a root.
    [[nodiscard]] NativePath fileName() const;
    [[nodiscard]] bool endsWithSeparator() const;
    // The path without a trailing separator (a root keeps it).
    [[nodiscard]] NativePath withoutTrailingSeparator() const;

    // Whether the path is `root` or lies below it, comparing as the file system does.
    [[nodiscard]] bool liesUnder(const NativePath& root) const;
    // Whether both name the same file as the file system compares names: exactly on
    // POSIX, ignoring letter case on Windows.
    [[nodiscard]] bool sameAs(const NativePath& other) const;
    // A form under which paths that sameAs() calls equal are equal, for hashing.
    [[nodiscard]] Native key() const;

    // Exact equality of the native forms.
    friend bool operator==(const NativePath& a, const NativePath& b);

private:
    explicit NativePath(Native native);

    Native m_native;
};

#pragma once

#include <QString>
#include <QStringView>

#include <string>

// Reading order for file, folder and drive names: a number compares by its value
// with the number at the same place in the other name, whatever its script (ASCII
// digits, full-width digits, everyday or capital Chinese numerals); everything else
// compares by character with letter case ignored. So 第二章 < 第十章 < 第１２章 <
// 第一百零五章, and file2 < file10 < File11. Digits joined by dots read as a version,
// and a number without them comes first: 42 < 42.5 < 42.10 < 43.

// What a name is ordered by: names compare as their keys do. Built once per name,
// so that sorting a large folder reads every name once.
using ReadingKey = std::u16string;
[[nodiscard]] ReadingKey readingKey(QStringView name);

// Names whose keys are equal (第1章, 第一章, 第１章; a and A) are ordered by their exact
// characters, which makes this a strict total order usable with std::sort.
[[nodiscard]] bool readingLess(const QString& a, const QString& b);

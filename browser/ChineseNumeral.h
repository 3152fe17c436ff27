#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

// Chinese numerals as people read them in names: the everyday characters
// (〇零一二两三四五六七八九十百千万亿) and the capital ones (壹贰叁肆伍陆柒捌玖拾佰仟).

// Whether the character can be part of a Chinese numeral.
[[nodiscard]] bool isChineseNumeral(char16_t c);

// The value of a run of numeral characters. A run with units reads as spoken:
// 十一 = 11, 一百零五 = 105, 一百五 = 150, 两万三 = 23,000, 一万零一十 = 10,010. A run without
// units reads digit by digit, as years are written: 二〇二四 = 2024. Nothing when the run
// is not a well-formed number (万里, 十十, 一百零) or does not fit 64 bits.
[[nodiscard]] std::optional<std::uint64_t> chineseNumeralValue(QStringView run);

#pragma once
// Pictures: the runtime's display and edit formats ("@s30", "@n-13", "@d17", "@t4", "@p(<)p"...).
// One module formats a value for display and parses a user's text back. The "@" may be left
// out and the type letter is read in any case ("d17-", "N3", "T4").
//  @s<n>     text cut to n characters.
//  @n        [-|(] [0|_] width [.places] [-|)] [b]: right-aligned in `width` characters with
//            commas between thousands (left out when they do not fit; "_" and "0" fill never
//            have them); "0" fills with zeros; "-" before or after, or parentheses, place the
//            sign; b shows nothing for zero. A number too wide shows as '#'s.
//  @d1..d18  [. ` - _ separator] [b]: d1 10/31/59, d2 10/31/1959, d3 OCT 31,1959,
//            d4 October 31, 1959, d5 31/10/59, d6 31/10/1959, d7 31 OCT 59, d8 31 OCT 1959,
//            d9 59/10/31, d10 1959/10/31, d11 591031, d12 19591031, d13 10/59, d14 10/1959,
//            d15 59/10, d16 1959/10, d17 and d18 the short and long date of QLocale() (d17 in
//            numbers: month/day/year where the locale's names the month, whose form is still
//            read), d19 the year alone ("Year Only": a value of at most 3000 is a year already,
//            and only such a year is read). Day 0 ("no date") shows nothing.
//  @t1..t8   [b]: t1 21:32, t2 2132, t3 9:32PM, t4 21:32:37, t5 213237, t6 9:32:37PM, t7 and t8
//            the short and long time of QLocale(). t1..t6 run past 23 hours for durations.
//  @p...p    [b]: '<' a digit place left blank before the number begins, '#' one that shows 0
//            there; all else is kept ("@pPage <<<#p" gives "Page    5").
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace tbk {

// Formats a value with a picture. Dates and times take day numbers and clock values
// (see dates.h), numbers take any numeric QVariant, strings take text. An unknown picture
// gives the value's own text.
QString formatPicture(const QString &picture, const QVariant &value);

// Parses a user's text with a picture; nullopt when the text does not fit (the caller beeps
// and selects the entry again). Dates and times give qint32, numbers double (pictures with
// places) or qint64, strings QString. Blank text is 0 for every picture but a string.
// A date on one of the day numbers bare years share (1 to 3000, in 1800..1809) is refused, as
// such a date could not be told from a year once stored; reading back what formatPicture wrote
// of a bare year takes it as that number.
enum class BareYearDays { Refused, Taken };
std::optional<QVariant> parsePicture(const QString &picture, const QString &text,
                                     BareYearDays bareYearDays = BareYearDays::Refused);

// A duration as typed, in the hours:minutes:seconds a time picture reads: one number is
// minutes, two are minutes and seconds (short tracks are common), three stay as they are.
// Anything else is left as typed, for the picture to refuse.
QString shortTimeText(const QString &typed);

// The picture ("@" and all) of date fields under the user's date format: the format itself,
// or d19 for "Year Only" (a number picture, "n4b"); blank for no format.
QString datePictureFor(const QString &dateFormat);

// Texts among which is the widest the picture makes of any value, whatever the font: the
// largest numbers, every month and weekday, every hour. None for a string picture.
QStringList pictureSamples(const QString &picture);

// The most characters a string picture holds; 0 for any other picture, which has no such limit.
int pictureTextWidth(const QString &picture);

// True when the text is a picture the module knows.
bool isValidPicture(const QString &picture);
// The picture's family as its lower-case letter ('s', 'n', 'd', 't' or 'p'); a null QChar
// when the text is no picture.
QChar pictureFamily(const QString &picture);

} // namespace tbk

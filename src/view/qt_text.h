#pragma once
// The program's text is Windows-1252 in std::string; Qt's is QString. Conversions both ways,
// and the line-break forms of each side (CR LF in the program, LF in Qt widgets).

#include <QString>
#include <string>
#include <string_view>

namespace view {

QString ToQString(std::string_view text);
// True when Windows-1252 holds every character of `text`.
bool FitsProgramText(const QString& text);
// A character Windows-1252 cannot hold becomes "?".
std::string FromQString(const QString& text);

// As above, with the program's CR LF line breaks shown as Qt's LF and back.
QString ToQStringLines(std::string_view text);
std::string FromQStringLines(const QString& text);

}  // namespace view

#pragma once
// Symbol fonts (Wingdings, Wingdings 2, Wingdings 3, Webdings, Symbol)
// address their glyphs by one byte, 32-255. Where such a font is not
// installed, each code is drawn as the Unicode character it stands for, in
// a font that has them all, so labels look and print as designed.

#include <QString>

namespace symbolfonts {

// The font that draws the Unicode equivalents.
QString FallbackFamily();  // "Symbola"

// One of the five symbol fonts, by name (case-insensitive).
bool IsSymbolFont(const QString &fontName);
// An installed font family of exactly this name (case-insensitive).
bool IsInstalled(const QString &fontName);
// A symbol font that is drawn through the code table.
bool IsMapped(const QString &fontName);

// The Unicode character for a code of a symbol font; 0 when there is none.
char32_t ToUnicode(const QString &fontName, int code);
// The Unicode character name of that code ("" when none).
QString CharacterName(const QString &fontName, int code);

// The byte code of a caption character (its code in the stream's 8-bit
// code page), and the caption character of a byte code.
int CodeOf(QChar c);
QChar CharOf(int code);

// The text to draw for `text` written in `fontName`: unchanged for ordinary
// fonts; for an installed symbol font, every character as its byte code;
// for a mapped symbol font, every character as its Unicode
// equivalent, followed by the text-presentation selector where the
// character could otherwise be shown as a colour emoji. Codes without an
// equivalent draw as a blank.
QString DisplayText(const QString &fontName, const QString &text);

}  // namespace symbolfonts

#pragma once
// The program's icon set: one SVG per picture, drawn on a 24-unit grid in
// one stroke weight and one small palette. Icons are drawn from the SVG at
// whatever size and device pixel ratio they are shown, and their ink and
// paper colours follow a dark window palette. Where the desktop's icon theme
// has a freedesktop standard icon for the same command, that one is shown.

#include <QIcon>
#include <QStringList>

// The icon of that name (the SVG's file name without ".svg"); a null icon
// for a name the set does not have.
QIcon ProgramIcon(const QString &name);

// The same icon drawn from our SVG only, never from the theme.
QIcon ProgramSvgIcon(const QString &name);

// The freedesktop standard name used for `name`, or an empty string.
QString ProgramIconThemeName(const QString &name);

// Every icon name of the set.
QStringList ProgramIconNames();

// Whether the palette has light text on a dark window (so icons swap their
// ink and paper).
bool IsDarkPalette(const QPalette &palette);

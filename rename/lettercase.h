#pragma once

#include "rename/renamesettings.h"

#include <QString>

namespace qv {

// The text in the letter case asked for. A word begins at a letter that follows neither a
// letter, a digit nor an apostrophe, so "don't" stays one word and "3d" keeps its "d".
QString withLetterCase(const QString& text, LetterCase letterCase);

} // namespace qv

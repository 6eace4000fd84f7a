#pragma once

#include <QString>

#include <functional>

namespace qv {

// Replaces the first folder of a folder part by the ".../" mark.
QString ShortenFolder(const QString& folder);

// Fits a path into maxWidth pixels by replacing leading folders with ".../", step by step;
// textWidth measures a text in the label's font.
QString ShortenPath(const QString& text, const std::function<int(const QString&)>& textWidth,
                    int maxWidth);

} // namespace qv

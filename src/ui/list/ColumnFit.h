#pragma once

#include <QFont>
#include <QObject>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/WidestTexts.h"

namespace kestrel::ui {

class Grid;

// Keeps the list's columns wide enough for what they show. When the list
// is filled each column takes the widest of its minimum (the field table's
// width), its heading and its longest texts, or the width the user gave it
// before when that is wider still; rows added or changed later widen a
// column they no longer fit. A column the user has narrowed in this session
// stays as the user left it: the grid marks the texts it cuts.
//
// Widths the user sets are remembered across sessions (QSettings).
class ColumnFit : public QObject {
    Q_OBJECT
public:
    explicit ColumnFit(Grid& grid);

    // Fits every column to the whole list.
    void fitAll();
    // Widens columns for records first to last (1-based) where they no
    // longer fit; field, when given, is the one column that changed.
    void widenFor(int first, int last, int field = -1);

    // Forgets the widths the user set, here and in the settings, and fits
    // every column again.
    void forgetUserWidths();

    // The pixels a cell text, or a heading, needs to show in full.
    int cellWidth(const QString& text) const;
    int headingWidth(const QString& text) const;

private:
    // The pixels each column's texts need over records first to last.
    std::vector<int> neededPixels(int first, int last) const;
    int neededPixels(const std::vector<std::string>& widest) const;
    void setPixels(int col, int pixels);
    void userResized(int col);

    Grid& mGrid;
    std::vector<int> mRemembered;  // twips the user set; 0 for none
    std::vector<bool> mUserSet;    // resized by the user in this session
    bool mFitting = false;
    ByteWidths mByteWidths{};  // the grid font's advance of each code page byte
    // Cell widths of texts measured before, in the font they were measured
    // in: a paste or a change of many records offers mostly texts the
    // column already showed, and each measuring shapes the text anew.
    mutable std::unordered_map<std::string, int> mMeasured;
    mutable QFont mMeasuredFont;
};

// Attaches a ColumnFit to the grid, following its model's changes.
ColumnFit* InstallColumnFit(Grid& grid);

}  // namespace kestrel::ui

#pragma once

#include <QString>

namespace kestrel::ui {

// The binary file of the pair that path names: the file itself, or the
// EQUIP97.EQP in the folder under any letter case, as an absolute path.
// Empty when there is no such regular file.
QString PairFileFor(const QString& path);

// "EQUIP97.EQP in Ironfront2": the file name and the name of its folder.
QString PairCaption(const QString& pairFile);

// A file or folder a user may hand the editor as a pair: an existing
// .EQP file under any letter case, or a folder holding one.
bool LooksLikePair(const QString& path);

}  // namespace kestrel::ui

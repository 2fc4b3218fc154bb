#pragma once

#include <QDialog>
#include <utility>
#include <vector>

namespace kestrel::ui {

// A short list of the editor's commands and their keys, with the way to the
// About box. Not modal: it can stay open beside the list.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // listKeys: (command, keys) for each command of the list window that has
    // a key, as the action table gives them.
    using KeyLines = std::vector<std::pair<QString, QString>>;
    explicit HelpWindow(const KeyLines& listKeys, QWidget* parent = nullptr);
};

// The About box: the editor's version and its licence.
QString AboutText();
void ShowAbout(QWidget* parent);

// Opens the help window of parent, making it the first time.
void ShowHelp(QWidget* parent, const HelpWindow::KeyLines& listKeys);

}  // namespace kestrel::ui

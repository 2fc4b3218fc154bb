#pragma once

#include <QDialog>

class QToolButton;

namespace kestrel::ui {

// A short list of the editor's commands and their keys, with the way to the
// About box. Not modal: it can stay open beside the list.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
};

// The About box: the editor's version and its licence.
QString AboutText();
void ShowAbout(QWidget* parent);

// F1 anywhere in the editor, and the "?" button, open the help window.
void InstallHelp(QWidget& listWindow, QToolButton& helpButton);
void ShowHelp(QWidget* parent);

}  // namespace kestrel::ui

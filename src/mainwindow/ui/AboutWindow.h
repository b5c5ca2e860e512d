#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "mainwindow/MainWindowReturn.h"

namespace scopewatch {

struct ProgramState;
class WindowFlow;

// "About Scopewatch v1.0": the product's name and version, its emblem and the credits.
// "OK" or closing the window gives the main window back. Shown without a modal loop.
class AboutWindow : public QWidget {
    Q_OBJECT
  public:
    AboutWindow(ProgramState& state, WindowFlow& flow, QWidget* parent = nullptr);

    QLabel& heading() { return *Label1; }
    QLabel& picture() { return *Image1; }
    QGroupBox& creditsFrame() { return *Frame1; }
    QPlainTextEdit& creditsText() { return *Text1; }
    QPushButton& okButton() { return *Command1; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    void OnOk();

    MainWindowReturn mainWindowReturn_;

    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
};

}  // namespace scopewatch

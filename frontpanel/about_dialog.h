// Dialog 108, "About...": the program icon and six texts looked up in the
// program's version record by the name each static starts with, laid out at
// whatever size the font gives them.
#pragma once

#include <QDialog>

class QLabel;
class VersionRecord;

class AboutDialog : public QDialog {
 public:
  AboutDialog(const VersionRecord& record, QWidget* owner);
  // The static with that control id (1000-1005).
  QLabel* text(int controlId) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fitToContents();

  QLabel* icon_;
};

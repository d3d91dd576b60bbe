// The printing dialogs driven offscreen: Header and Footer (112), Page Setup
// (113) with its checks and its picture, the fixed-pitch font choice, Save
// Paper As and the print preview.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/settings.h"
#include "print/dialog_ids.h"
#include "print/font_choice.h"
#include "print/margins_painter.h"
#include "print/print_commands.h"

namespace {

// Runs `act` on the next modal dialog once it is on show: a filter on the
// application sees its show event, and `act` runs from the dialog's own loop.
void WhenModalOpens(std::function<void(QDialog*)> act) {
  struct Watcher : QObject {
    std::function<void(QDialog*)> act;
    bool eventFilter(QObject* object, QEvent* event) override {
      auto* dialog = qobject_cast<QDialog*>(object);
      if (event->type() == QEvent::Show && dialog && dialog->isModal()) {
        qApp->removeEventFilter(this);
        QTimer::singleShot(0, dialog, [act = std::move(act), dialog] { act(dialog); });
        deleteLater();
      }
      return false;
    }
  };
  auto* watcher = new Watcher;
  watcher->act = std::move(act);
  qApp->installEventFilter(watcher);
}

// Notes the text of the message box that opens next and closes it.
void AnswerMessage(QStringList& messages) {
  WhenModalOpens([&messages](QDialog* box) {
    messages << static_cast<QMessageBox*>(box)->text();
    box->accept();
  });
}

QLineEdit* Edit(QWidget* dialog, int id) { return dialog->findChild<QLineEdit*>(ControlName(id)); }
void Click(QWidget* dialog, int id) { dialog->findChild<QPushButton*>(ControlName(id))->click(); }

class DialogTest : public ::testing::Test {
 protected:
  QWidget owner_;
  Settings settings_;
};

TEST_F(DialogTest, HeaderFooterStoresOnOkOnlyAndTakesNoMoreCharactersThanKept) {
  settings_.Header = "old";
  QString shown;
  WhenModalOpens([&](QDialog* dialog) {
    shown = Edit(dialog, IDC_DOC_NAME)->text() + "|" + Edit(dialog, IDC_HEADER_TEXT)->text();
    Edit(dialog, IDC_HEADER_TEXT)->setText("changed");
    Click(dialog, IDC_DIALOG_CANCEL);
  });
  RunHeaderFooter(&owner_, settings_);
  EXPECT_EQ(shown + "|" + QString::fromStdString(settings_.Header), "QPrint|old|old");
  WhenModalOpens([&](QDialog* dialog) {
    Edit(dialog, IDC_DOC_NAME)->setText("Raglan");
    Edit(dialog, IDC_HEADER_TEXT)->setText(QString(200, QChar(0xe9)));  // counted in characters, not bytes
    Edit(dialog, IDC_FOOTER_TEXT)->setText(QString(300, 'f'));
    Click(dialog, IDC_DIALOG_OK);
  });
  RunHeaderFooter(&owner_, settings_);
  EXPECT_EQ(std::tuple(settings_.DocName, QString::fromStdString(settings_.Header), settings_.Footer),
            std::tuple("Raglan", QString(200, QChar(0xe9)), std::string(SETTINGS_TEXT_MAX, 'f')));
}

// The smallest rectangle round everything drawn darker than light grey.
QRect InkBounds(const QImage& image) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 160) ink |= QRect(x, y, 1, 1);
  return ink;
}

// The picture is the job's own first page: text an inch in at an inch's
// margins, whatever the page's resolution.
TEST_F(DialogTest, PageSetupShowsTheMarginsInPointsDrawsTheRealPageAsTypedAndEscKeepsThem) {
  Settings inch = settings_;
  inch.Font = "DejaVu Sans Mono";
  inch.MarginLeft = inch.MarginTop = 72;
  for (int dpi : {72, 144}) {
    const QImage page = FirstPageImage("WWWW\r\n", inch, QPageSize(QPageSize::A4), dpi);
    EXPECT_EQ(page.size(), QPageSize(QPageSize::A4).sizePixels(dpi));
    const QRect ink = InkBounds(page);
    EXPECT_NEAR(ink.left(), dpi, dpi / 24.0) << dpi;
    EXPECT_NEAR(ink.top(), dpi * 1.05, dpi / 12.0) << dpi;
  }
  QStringList shown;
  QImage before, after;
  WhenModalOpens([&](QDialog* dialog) {
    for (int id : {IDC_MARGIN_LEFT, IDC_MARGIN_RIGHT, IDC_MARGIN_TOP, IDC_MARGIN_BOTTOM}) shown << Edit(dialog, id)->text();
    QWidget* picture = dialog->findChild<QWidget*>(ControlName(IDC_MARGINS_PICTURE));
    before = picture->grab().toImage();
    Edit(dialog, IDC_MARGIN_LEFT)->setText("150");
    after = picture->grab().toImage();
    dialog->reject();  // Esc
  });
  RunPageSetup(&owner_, settings_, "  12.5 CM\r\n");
  EXPECT_EQ(shown, (QStringList{"24", "24", "40", "19"}));
  EXPECT_NE(before, after);
  EXPECT_EQ(settings_.MarginLeft, 24);
}

TEST_F(DialogTest, PageSetupRefusesNonNumbersAndPullsBackMarginsBeyondThePage) {
  QStringList messages;
  bool stayedOpen = false;
  WhenModalOpens([&](QDialog* dialog) {
    Edit(dialog, IDC_MARGIN_LEFT)->setText("abc");
    AnswerMessage(messages);
    Click(dialog, IDC_SETUP_OK);
    Edit(dialog, IDC_MARGIN_LEFT)->setText("-50");
    Edit(dialog, IDC_MARGIN_RIGHT)->setText("99999999999999999999999");
    Edit(dialog, IDC_MARGIN_TOP)->setText(" 72 ");
    AnswerMessage(messages);
    Click(dialog, IDC_SETUP_OK);
    stayedOpen = dialog->isVisible();
    Click(dialog, IDC_SETUP_OK);
  });
  RunPageSetup(&owner_, settings_);
  EXPECT_TRUE(messages.size() == 2 && messages[0].contains("left margin must be a whole number") &&
              messages[1].contains("left 0, right 288")) << messages.join('\n').toStdString();
  EXPECT_TRUE(stayedOpen);  // to show what the margins were pulled back to
  EXPECT_EQ((std::vector<int32_t>{settings_.MarginLeft, settings_.MarginRight, settings_.MarginTop, settings_.MarginBottom}),
            (std::vector<int32_t>{0, 288, 72, 19}));
}

// The size is stored in points and as a height in negative pixels (96 a inch).
TEST_F(DialogTest, FontChoiceOffersFixedPitchOnlyAndStoresIt) {
  QFontDialog::FontDialogOptions options;
  WhenModalOpens([&](QDialog* dialog) {
    options = static_cast<QFontDialog*>(dialog)->options();
    static_cast<QFontDialog*>(dialog)->setCurrentFont(QFont("DejaVu Sans Mono", 12, QFont::Bold));
    dialog->accept();
  });
  QFont chosen;
  ASSERT_TRUE(ChooseFont(&owner_, settings_, chosen));
  EXPECT_TRUE(options.testFlag(QFontDialog::MonospacedFonts));
  EXPECT_EQ(std::tuple(settings_.Font, settings_.PointSize, settings_.Height, settings_.Weight),
            std::tuple("DejaVu Sans Mono", 12, -16, 700));
  EXPECT_EQ(PaneFontFromSettings(settings_).pixelSize(), 16);
  Settings fresh;  // no face yet: the dialog opens on an upright fixed-pitch font
  WhenModalOpens([](QDialog* dialog) { dialog->accept(); });
  ASSERT_TRUE(ChooseFont(&owner_, fresh, chosen));
  EXPECT_FALSE(chosen.italic());
  EXPECT_EQ(fresh.Weight, 400);
}

// Save Paper As starts at tm650e-paper-<date>.txt in Documents, gives a name
// typed without an extension ".txt" and writes the same bytes as the log.
TEST_F(DialogTest, SavePaperAsSuggestsADatedTextFileAndWritesTheLogsBytes) {
  QTemporaryDir dir;
  QString suggested;
  WhenModalOpens([&](QDialog* dialog) {
    suggested = static_cast<QFileDialog*>(dialog)->selectedFiles().value(0);
    static_cast<QFileDialog*>(dialog)->selectFile(dir.filePath("knit"));
    dialog->accept();
  });
  ASSERT_TRUE(SavePaperAs(&owner_, QString::fromLatin1("  12.5 CM\r\n\r\n \xb0 40\r\n")));
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  EXPECT_TRUE(suggested.startsWith(documents + "/tm650e-paper-20")) << suggested.toStdString();
  QFile file(dir.filePath("knit.txt"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("  12.5 CM\r\n\r\n \xb0 40\r\n"));
  EXPECT_FALSE(WritePaperFile(dir.filePath("missing/paper.txt"), "x"));
}

// Most of the owner's screen, for the pages are what it is for.
TEST_F(DialogTest, PreviewShowsThePagesOfTheJobOnMostOfTheScreen) {
  int pages = 0;
  QSize size;
  WhenModalOpens([&](QDialog* dialog) {
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    preview->updatePreview();
    pages = preview->pageCount();
    size = dialog->size();
    dialog->reject();
  });
  PreviewPaper(&owner_, QString("line\r\n").repeated(200), settings_);
  EXPECT_GT(pages, 1);
  const QSize room = owner_.screen()->availableGeometry().size();
  EXPECT_GE(size.width(), 0.8 * room.width());
  EXPECT_GE(size.height(), 0.75 * room.height());
}

}  // namespace

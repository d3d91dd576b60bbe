// The printing dialogs driven offscreen: Header and Footer (112), Page Setup
// (113), the fixed-pitch font choice, centring, the margins picture, Save
// Paper As and the print preview.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontDialog>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/settings.h"
#include "print/dialog_ids.h"
#include "print/font_choice.h"
#include "print/margins_painter.h"
#include "print/print_commands.h"

namespace {

// Runs `act` on the modal dialog as soon as it shows.
void WhenModalOpens(std::function<void(QDialog*)> act) {
  QTimer::singleShot(10, [act] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
      act(dialog);
    else
      WhenModalOpens(act);
  });
}

QLineEdit* Edit(QWidget* dialog, int id) { return dialog->findChild<QLineEdit*>(ControlName(id)); }
void Click(QWidget* dialog, int id) { dialog->findChild<QPushButton*>(ControlName(id))->click(); }

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_.setGeometry(100, 100, 600, 400);
    owner_.show();
  }
  QWidget owner_;
  Settings settings_;
};

TEST_F(DialogTest, HeaderFooterStoresOnOkOnlyAndIsCentred) {
  settings_.Header = "old";
  QString shown;
  QPoint centre;
  WhenModalOpens([&](QDialog* dialog) {
    shown = Edit(dialog, IDC_DOC_NAME)->text() + "|" + Edit(dialog, IDC_HEADER_TEXT)->text();
    centre = dialog->frameGeometry().center();
    Edit(dialog, IDC_HEADER_TEXT)->setText("changed");
    Click(dialog, IDC_DIALOG_CANCEL);
  });
  RunHeaderFooter(&owner_, settings_);
  EXPECT_EQ(shown, "QPrint|old");
  EXPECT_EQ(settings_.Header, "old");
  EXPECT_LE((centre - owner_.frameGeometry().center()).manhattanLength(), 2);
  WhenModalOpens([&](QDialog* dialog) {
    Edit(dialog, IDC_DOC_NAME)->setText("Raglan");
    Edit(dialog, IDC_FOOTER_TEXT)->setText(QString(300, 'f'));
    Click(dialog, IDC_DIALOG_OK);
  });
  RunHeaderFooter(&owner_, settings_);
  EXPECT_EQ(settings_.DocName, "Raglan");
  EXPECT_EQ(settings_.Footer, std::string(254, 'f'));
}

TEST_F(DialogTest, PageSetupReadsMarginsAsAtoiDoesAndCancelKeepsThem) {
  QStringList shown;
  WhenModalOpens([&](QDialog* dialog) {
    for (int id : {IDC_MARGIN_LEFT, IDC_MARGIN_RIGHT, IDC_MARGIN_TOP, IDC_MARGIN_BOTTOM}) shown << Edit(dialog, id)->text();
    Edit(dialog, IDC_MARGIN_LEFT)->setText("999");
    dialog->reject();  // Esc
  });
  RunPageSetup(&owner_, settings_);
  EXPECT_EQ(shown, (QStringList{"200", "200", "40", "160"}));
  EXPECT_EQ(settings_.MarginLeft, 200);
  WhenModalOpens([&](QDialog* dialog) {
    Edit(dialog, IDC_MARGIN_LEFT)->setText("abc");
    Edit(dialog, IDC_MARGIN_RIGHT)->setText("-5");
    Edit(dialog, IDC_MARGIN_TOP)->setText(" 72pt");
    EXPECT_TRUE(Edit(dialog, IDC_SETUP_HEADER)->isReadOnly());
    Click(dialog, IDC_SETUP_OK);
  });
  RunPageSetup(&owner_, settings_);
  EXPECT_EQ((std::vector<int32_t>{settings_.MarginLeft, settings_.MarginRight, settings_.MarginTop, settings_.MarginBottom}),
            (std::vector<int32_t>{0, -5, 72, 160}));
}

TEST_F(DialogTest, FontChoiceOffersFixedPitchOnlyAndStoresIt) {
  QFontDialog::FontDialogOptions options;
  WhenModalOpens([&](QDialog* dialog) {
    options = static_cast<QFontDialog*>(dialog)->options();
    QFont font("DejaVu Sans Mono");
    font.setPointSize(12);
    font.setWeight(QFont::Bold);
    static_cast<QFontDialog*>(dialog)->setCurrentFont(font);
    dialog->accept();
  });
  QFont chosen;
  ASSERT_TRUE(ChooseFont(&owner_, settings_, chosen));
  EXPECT_TRUE(options.testFlag(QFontDialog::MonospacedFonts));
  EXPECT_EQ(settings_.Font, "DejaVu Sans Mono");
  EXPECT_EQ(settings_.PointSize, 12);
  EXPECT_EQ(settings_.Weight, 700);
  EXPECT_EQ(chosen.weight(), QFont::Bold);
  WhenModalOpens([](QDialog* dialog) { dialog->reject(); });
  EXPECT_FALSE(ChooseFont(&owner_, settings_, chosen));
  Settings fresh;  // no face yet: the dialog opens on an upright fixed-pitch font
  WhenModalOpens([](QDialog* dialog) { dialog->accept(); });
  ASSERT_TRUE(ChooseFont(&owner_, fresh, chosen));
  EXPECT_FALSE(chosen.italic());
  EXPECT_EQ(fresh.Weight, 400);
  QFont half("DejaVu Sans Mono");  // height in negative pixels, whole points
  half.setPointSizeF(10.5);
  StoreChosenFont(half, 96, fresh);
  EXPECT_EQ(fresh.Height, -14);
  EXPECT_EQ(fresh.PointSize, 10);
  EXPECT_EQ(PaneFontFromSettings(fresh).pixelSize(), 14);
}

TEST(MarginsPainter, StretchesThePictureOverTheControl) {
  QImage picture(135, 195, QImage::Format_Grayscale8);
  picture.fill(Qt::black);
  SetMarginsImage(picture);
  MarginsPainter painter(nullptr);
  painter.resize(90, 120);
  const QImage shown = painter.grab().toImage();
  EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(shown.pixelColor(89, 119), QColor(Qt::black));
  SetMarginsImage(QImage());
}

TEST(PaperFile, WritesTheSameBytesAsTheLog) {
  QTemporaryDir dir;
  ASSERT_TRUE(WritePaperFile(dir.filePath("paper.txt"), QString::fromLatin1("  12.5 CM\r\n\r\n \xb0 40\r\n")));
  QFile file(dir.filePath("paper.txt"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("  12.5 CM\r\n\r\n \xb0 40\r\n"));
  EXPECT_FALSE(WritePaperFile(dir.filePath("missing/paper.txt"), "x"));
}

TEST_F(DialogTest, PreviewShowsThePagesOfTheJob) {
  int pages = 0;
  WhenModalOpens([&](QDialog* dialog) {
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    preview->updatePreview();
    pages = preview->pageCount();
    dialog->reject();
  });
  PreviewPaper(&owner_, QString("line\r\n").repeated(200), settings_);
  EXPECT_GT(pages, 1);
}

}  // namespace

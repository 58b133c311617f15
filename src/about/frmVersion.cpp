#include "frmVersion.h"

#include "FileLookup.h"
#include "LoginStart.h"
#include "ProgramFolder.h"
#include "ProgramIcon.h"
#include "PrompterInUse.h"
#include "ScrivletVersion.h"
#include "Settings.h"
#include "ShellOpen.h"
#include "VersionText.h"
#include "WindowSetup.h"
#include "mdlScrivlet.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

QString readmeName()
{
    return QStringLiteral("README.md");
}

// The installed README when this copy was installed, else the one beside the executable.
QString readmePath()
{
    const QString executable = executableFolder();
    const QString installed = QDir::toNativeSeparators(
        QDir::cleanPath(executable + QStringLiteral(SCRIVLET_DOC_FROM_BIN "/") + readmeName()));
    return isOrdinaryFile(installed) ? installed : executable + readmeName();
}

// The Windows font first; elsewhere Qt falls back to the Japanese sans-serif that is installed. Its size grows
// with the desktop's font, as the dialog does.
QFont dialogFont(qreal points)
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(ui::scaledPoints(points));
    return font;
}

} // namespace

frmVersion::frmVersion(QWidget* parent) : QDialog(parent, ui::fixedDialogFlags())
{
    setObjectName(QStringLiteral("frmVersion"));
    ui::nameWindow(this, QStringLiteral("Zormet Scrivlet バージョン情報 / 設定"));
    setModal(true);

    Image1 = ui::place<QLabel>(this, "Image1", twipsRect(240, 240, 480, 480));
    // As many image pixels as the screen has for it, so that it stays sharp on a high-resolution screen.
    Image1->setPixmap(ui::programIcon().pixmap(Image1->size(), Image1->devicePixelRatioF()));

    Label1 = ui::place<QLabel>(this, "Label1", twipsRect(960, 225, 2880, 450), QStringLiteral("Zormet Scrivlet"));
    QFont productFont = dialogFont(15.75);
    productFont.setBold(true);
    productFont.setItalic(true);
    Label1->setFont(productFont);

    Label2 = ui::place<QLabel>(this, "Label2", twipsRect(3900, 375, 1980, 255));
    QFont versionFont = dialogFont(9);
    versionFont.setItalic(true);
    Label2->setFont(versionFont);

    Label4 = ui::place<QLabel>(this, "Label4", twipsRect(960, 855, 3600, 255),
                               QStringLiteral("通知領域に常駐する走り書きメモ帳"));
    Label4->setFont(dialogFont(9));

    Label3 = ui::place<QLabel>(this, "Label3", twipsRect(960, 1185, 3600, 255));
    QFont linkFont = dialogFont(9);
    linkFont.setUnderline(true);
    Label3->setFont(linkFont);
    QPalette linkColours = Label3->palette();
    linkColours.setColor(QPalette::WindowText, Qt::blue);
    Label3->setPalette(linkColours);
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->installEventFilter(this);

    // The Japanese font's lines are higher than the desktop font's, more so at some sizes than at others.
    for (QLabel* label : {Label1, Label2, Label4, Label3})
        ui::makeRoomForCaption(label);

    Command1 = ui::placeButton(this, "Command1", QStringLiteral("OK(&O)"), twipsRect(4680, 855, 1200, 585));
    Command1->setDefault(true);

    chkAutoSave = ui::place<QCheckBox>(this, "chkAutoSave", twipsRect(240, 1725, 5640, 330),
                                       QStringLiteral("ファイルを移動した時に自動的に保存する(&S)"));
    chkAutoStart = ui::place<QCheckBox>(this, "chkAutoStart", twipsRect(240, 2055, 5640, 330),
                                        QStringLiteral("ログイン時に起動する(&L)"));

    setFixedSize(ui::scaled(twipsSize(6000, 2610)));
    // The screen's centre, not the memo window's.
    ui::centreOnScreen(this);

    connect(Command1, &QPushButton::clicked, this, &frmVersion::Command1_Click);

    Form_Load();
}

QString frmVersion::folder() const
{
    return mdlScrivlet::programFolder();
}

void frmVersion::reportFailure(const Failure& failure)
{
    prompter().showFailure(failure, mdlScrivlet::programTitle());
}

void frmVersion::Form_Load()
{
    Label2->setText(versionText(scrivlet_version::Major, scrivlet_version::Minor, scrivlet_version::Revision));

    readmePath_ = readmePath();
    readmeUrl_ = QUrl::fromLocalFile(QDir::fromNativeSeparators(readmePath_));
    const QString address = readmeUrl_.toString();
    Label3->setText(Label3->fontMetrics().elidedText(address, Qt::ElideMiddle, Label3->width()));
    Label3->setToolTip(address);

    INIAccess ini = settings::open(folder());
    QString error;
    const QString value = ini.GetINIData(settings::section(), settings::autoSaveKey(), &error);
    if (!error.isEmpty())
        reportFailure({QStringLiteral("設定ファイル「%1」を読み込めませんでした。").arg(settings::fileName()),
                       folder() + settings::fileName(), error, QString()});
    // Only "1" turns automatic saving on in the memo window, so only "1" shows as ticked.
    chkAutoSave->setChecked(value == QLatin1String("1"));
    // An entry left by a copy of the program kept elsewhere starts that copy, not this one.
    chkAutoStart->setChecked(startsAtLogin(QCoreApplication::applicationFilePath()));
}

void frmVersion::Command1_Click()
{
    INIAccess ini = settings::open(folder());
    QString error;
    const QString value = chkAutoSave->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (!ini.SetINIData(settings::section(), settings::autoSaveKey(), value, &error)) {
        reportFailure({QStringLiteral("自動保存の設定を保存できませんでした。"), folder() + settings::fileName(), error,
                       QString()});
        return;
    }
    const QString executable = QCoreApplication::applicationFilePath();
    // Clearing the box removes only this copy's own entry; ticking it rewrites whatever is there.
    const bool start = chkAutoStart->isChecked();
    Failure failure;
    if ((start || startsAtLogin(executable)) && !setStartAtLogin(start, executable, &failure)) {
        reportFailure(failure);
        return;
    }
    accept();
}

void frmVersion::Label3_Click()
{
    if (!isOrdinaryFile(readmePath_)) {
        reportFailure(
            {QStringLiteral("説明書「%1」が見つかりません。").arg(readmeName()), readmePath_, QString(), QString()});
        return;
    }
    if (!openUrl(readmeUrl_))
        reportFailure(
            {QStringLiteral("説明書「%1」を開けませんでした。").arg(readmeName()), readmePath_, QString(), QString()});
}

bool frmVersion::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label3 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Label3->rect().contains(mouse->position().toPoint())) {
            Label3_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

#include "ProgramIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <array>
#include <optional>

// The images live in a static library; naming their resource keeps the linker from dropping it.
static void initIconResource()
{
    Q_INIT_RESOURCE(scrivlet);
}

namespace ui {
namespace {

constexpr std::array<int, 6> BuiltInSizes = {16, 32, 48, 64, 128, 256};
const QString ThemeName = QStringLiteral("scrivlet");

// Whether the installed theme has the icon, looked up once and only when a window first needs it; Qt keeps
// the icon it found.
bool themeHasIcon()
{
    static std::optional<bool> has;
    if (!has)
        has = QIcon::hasThemeIcon(ThemeName);
    return *has;
}

// Decodes the one built-in image a size needs, and keeps none: a window's icon is asked for all its sizes
// once, and holding them would cost more memory than the rest of an idle program's images.
class ProgramIconEngine final : public QIconEngine
{
public:
    explicit ProgramIconEngine(bool themeFirst) : themeFirst_(themeFirst) { initIconResource(); }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (fromTheme())
            return QIcon::fromTheme(ThemeName).pixmap(size, mode, state);
        const int side = std::max(size.width(), size.height());
        int best = BuiltInSizes.back();
        for (int s : BuiltInSizes) {
            if (s >= side) {
                best = s;
                break;
            }
        }
        QPixmap image(QStringLiteral(":/scrivlet/scrivlet%1.png").arg(best));
        if (image.size() != size && !size.isEmpty())
            image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode == QIcon::Normal || mode == QIcon::Active)
            return image;
        QStyleOption option;
        option.palette = QGuiApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, image, &option);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatioF();
        painter->drawPixmap(rect, pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state));
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (fromTheme())
            return QIcon::fromTheme(ThemeName).actualSize(size, mode, state);
        return size.boundedTo({BuiltInSizes.back(), BuiltInSizes.back()});
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        if (fromTheme())
            return QIcon::fromTheme(ThemeName).availableSizes(mode, state);
        QList<QSize> sizes;
        for (int s : BuiltInSizes)
            sizes.append({s, s});
        return sizes;
    }

    QString iconName() override { return fromTheme() ? ThemeName : QString(); }
    QString key() const override { return QStringLiteral("ProgramIconEngine"); }
    QIconEngine* clone() const override { return new ProgramIconEngine(themeFirst_); }

private:
    bool fromTheme() const { return themeFirst_ && themeHasIcon(); }

    bool themeFirst_;
};

} // namespace

QIcon programIcon()
{
    return QIcon(new ProgramIconEngine(true));
}

QIcon builtInProgramIcon()
{
    return QIcon(new ProgramIconEngine(false));
}

} // namespace ui

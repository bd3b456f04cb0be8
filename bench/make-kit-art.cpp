// Draws the single pictures that the kit names itself (the grid tile's remove and pin buttons, the
// activity panel's background strip, the stack's shadow, the missing-preview picture, the folder
// boxes' textures) into a resources folder. Run: make-kit-art <resources folder>. Its output is
// checked in; run it again after a change.

#include "WrittenFile.h"

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <functional>
#include <random>

namespace {

using Painting = std::function<void(QPainter &, const QSizeF &)>;

bool writePicture(const QDir &folder, const QString &name, const QSize &size, const Painting &paint)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(name.endsWith(QStringLiteral(".jpg")) ? Qt::white : Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, QSizeF(size));
    painter.end();
    return bench::writePicture(image, folder.filePath(name));
}

// The look of a tile button in one state: a dark disc or pill that reads on any picture, lighter
// under the pointer, darker while pressed.
struct ButtonState
{
    QString suffix;
    QColor fill;
    QColor mark;
};

const ButtonState buttonStates[] = {
    {QString(), QColor(30, 30, 30, 200), QColor(255, 255, 255)},
    {QStringLiteral("Hover"), QColor(70, 70, 70, 230), QColor(255, 255, 255)},
    {QStringLiteral("Down"), QColor(0, 0, 0, 240), QColor(200, 200, 200)},
};

void drawCross(QPainter &painter, const QSizeF &size, const ButtonState &state)
{
    painter.setPen(QPen(QColor(255, 255, 255, 220), 1.2));
    painter.setBrush(state.fill);
    painter.drawEllipse(QRectF(1, 1, size.width() - 2, size.height() - 2));
    painter.setPen(QPen(state.mark, 2.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre(size.width() / 2, size.height() / 2);
    const double arm = size.width() * 0.2;
    painter.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
    painter.drawLine(centre + QPointF(arm, -arm), centre + QPointF(-arm, arm));
}

// A push pin leaning right: a round head over a collar and a needle; a set pin's head is red, an
// unset pin's head hollow.
void drawPin(QPainter &painter, const QSizeF &size, const ButtonState &state, bool set)
{
    painter.setPen(QPen(QColor(255, 255, 255, 220), 1.2));
    painter.setBrush(state.fill);
    painter.drawRoundedRect(QRectF(1, 1, size.width() - 2, size.height() - 2), (size.height() - 2) / 2, (size.height() - 2) / 2);
    painter.translate(size.width() / 2, size.height() / 2);
    painter.rotate(35);
    painter.setPen(QPen(state.mark, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(QPointF(0, 1.5), QPointF(0, 7.5));
    painter.setBrush(state.mark);
    painter.drawRect(QRectF(-2.5, 0, 5, 1.5));
    painter.setBrush(set ? QColor(235, 55, 45) : state.fill);
    painter.drawEllipse(QPointF(0, -3.5), 3.5, 3.5);
}

bool gridButtons(const QDir &folder)
{
    bool written = true;
    for (const ButtonState &state : buttonStates) {
        written &= writePicture(folder, QStringLiteral("GridItemRemove%1.png").arg(state.suffix), QSize(20, 20),
                                [&state](QPainter &painter, const QSizeF &size) { drawCross(painter, size, state); });
        written &= writePicture(folder, QStringLiteral("GridItemPin%1.png").arg(state.suffix), QSize(29, 20),
                                [&state](QPainter &painter, const QSizeF &size) { drawPin(painter, size, state, false); });
        written &= writePicture(folder, QStringLiteral("GridItemPinSet%1.png").arg(state.suffix), QSize(29, 20),
                                [&state](QPainter &painter, const QSizeF &size) { drawPin(painter, size, state, true); });
    }
    return written;
}

// The activity panel hangs from the window's top edge: a light strip with a grey rim and rounded
// lower corners, cut into a left end, a one-pixel middle and a right end.
bool panelStrip(const QDir &folder)
{
    const int height = 40;
    const double radius = 8;
    // The whole strip is 2 × radius + 3 wide; each picture shows its own part of it. The upper
    // corners lie above the picture, so only the lower ones show rounded.
    const double whole = 2 * radius + 3;
    const auto part = [=](double left) {
        return [=](QPainter &painter, const QSizeF &) {
            QLinearGradient fill(0, 0, 0, height);
            fill.setColorAt(0, QColor(250, 250, 250, 245));
            fill.setColorAt(1, QColor(226, 226, 228, 245));
            painter.translate(-left, 0);
            painter.setPen(QPen(QColor(150, 150, 155), 1));
            painter.setBrush(fill);
            painter.drawRoundedRect(QRectF(0.5, -2 * radius, whole - 1, height - 0.5 + 2 * radius), radius, radius);
        };
    };
    return writePicture(folder, QStringLiteral("SettingsBackgroundLeft.png"), QSize(int(radius) + 1, height), part(0))
        && writePicture(folder, QStringLiteral("SettingsBackgroundMid.png"), QSize(1, height), part(radius + 1))
        && writePicture(folder, QStringLiteral("SettingsBackgroundRight.png"), QSize(int(radius) + 1, height), part(radius + 2));
}

// A soft dark ellipse, stretched under the whole pile.
bool stackShadow(const QDir &folder)
{
    return writePicture(folder, QStringLiteral("StackShadow.png"), QSize(256, 18), [](QPainter &painter, const QSizeF &size) {
        QRadialGradient shade(0.5, 0.5, 0.5);
        shade.setCoordinateMode(QGradient::ObjectMode);
        shade.setColorAt(0, QColor(0, 0, 0, 150));
        shade.setColorAt(0.6, QColor(0, 0, 0, 70));
        shade.setColorAt(1, QColor(0, 0, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shade);
        painter.drawEllipse(QRectF(QPointF(0, 0), size));
    });
}

// A grey card with a landscape sign: what a bundle without a preview of its own shows.
bool noPreview(const QDir &folder)
{
    return writePicture(folder, QStringLiteral("NoPreview.jpg"), QSize(256, 192), [](QPainter &painter, const QSizeF &size) {
        painter.fillRect(QRectF(QPointF(0, 0), size), QColor(224, 224, 226));
        const QRectF frame(size.width() * 0.3, size.height() * 0.3, size.width() * 0.4, size.height() * 0.4);
        painter.setPen(QPen(QColor(150, 150, 155), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame, 6, 6);
        QPainterPath hills;
        hills.moveTo(frame.left() + 6, frame.bottom() - 6);
        hills.lineTo(frame.left() + frame.width() * 0.4, frame.top() + frame.height() * 0.45);
        hills.lineTo(frame.left() + frame.width() * 0.6, frame.top() + frame.height() * 0.7);
        hills.lineTo(frame.left() + frame.width() * 0.75, frame.top() + frame.height() * 0.55);
        hills.lineTo(frame.right() - 6, frame.bottom() - 6);
        painter.drawPath(hills);
        painter.drawEllipse(QPointF(frame.right() - frame.width() * 0.25, frame.top() + frame.height() * 0.28), 5, 5);
    });
}

// A fine linen weave of 64-pixel tiles, in a darker and a lighter grey. Either keeps the boxes'
// title (grey 0.3 over a faint dark shadow) readable: at least 4.5:1 against the darker one.
bool boxTextures(const QDir &folder)
{
    const auto weave = [](int base) {
        return [base](QPainter &painter, const QSizeF &size) {
            QImage linen(size.toSize(), QImage::Format_RGB32);
            // Fixed, so that every run draws the same picture.
            std::mt19937 grain(7);
            std::uniform_int_distribution<int> speck(-2, 2);
            for (int y = 0; y < linen.height(); ++y) {
                for (int x = 0; x < linen.width(); ++x) {
                    const int thread = ((x / 2 + y / 2) % 2 == 0 ? 3 : -3) + speck(grain);
                    const int grey = base + thread;
                    linen.setPixel(x, y, qRgb(grey, grey, grey + 2));
                }
            }
            painter.drawImage(0, 0, linen);
        };
    };
    return writePicture(folder, QStringLiteral("QSBoxDarkBackground.png"), QSize(64, 64), weave(194))
        && writePicture(folder, QStringLiteral("QSBoxLightBackground.png"), QSize(64, 64), weave(228));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "Error: usage: make-kit-art <resources folder>\n";
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool written = gridButtons(folder) && panelStrip(folder) && stackShadow(folder) && noPreview(folder) && boxTextures(folder);
    return written ? 0 : 1;
}

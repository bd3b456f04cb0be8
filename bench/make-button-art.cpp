// Draws the button description folders that the kit names itself (Remove, Grab, DefaultStyle,
// DefaultStyleActive, SmallWhite) into a resources folder: TIFF state images and an Info.plist.
// Run: make-button-art <resources folder>. Its output is checked in; run it again after a change.

#include "WrittenFile.h"

#include "platform/foundation/PropertyList.h"

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <functional>

namespace {

using Painting = std::function<void(QPainter &, const QSizeF &, const QColor &)>;

const char *const states[] = {"Normal", "Hover", "Down", "Disabled"};

bool writeImage(const QString &path, const QSize &size, const QColor &color, const Painting &paint)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, QSizeF(size), color);
    painter.end();
    return bench::writePicture(image, path, "tiff");
}

// Four state images of one part: normal, lighter when hovered, darker when down, faded when disabled.
bool writeStates(const QDir &folder, const QString &prefix, const QSize &size, const QColor &base, const Painting &paint)
{
    const QColor colors[] = {base, base.lighter(115), base.darker(125),
                             QColor::fromRgbF(base.redF(), base.greenF(), base.blueF(), base.alphaF() * 0.45f)};
    bool written = true;
    for (int index = 0; index < 4; ++index)
        written &= writeImage(folder.filePath(prefix + QLatin1String(states[index]) + QStringLiteral(".tiff")), size, colors[index], paint);
    return written;
}

// A pill of the full height cut into a left cap, a one-pixel middle and a right cap.
bool writePill(const QDir &folder, int height, const QColor &base)
{
    const double radius = height / 2.0;
    const auto cap = [radius](bool left) {
        return [radius, left](QPainter &painter, const QSizeF &size, const QColor &color) {
            QPainterPath path;
            path.addRoundedRect(QRectF(left ? 0 : -radius, 0.5, 2 * radius, size.height() - 1), radius - 0.5, radius - 0.5);
            painter.fillPath(path, color);
        };
    };
    const Painting middle = [](QPainter &painter, const QSizeF &size, const QColor &color) {
        painter.fillRect(QRectF(0, 0.5, size.width(), size.height() - 1), color);
    };
    const QSize capSize(int(radius), height);
    return writeStates(folder, QStringLiteral("Left-"), capSize, base, cap(true))
        && writeStates(folder, QStringLiteral("Mid-"), QSize(1, height), base, middle)
        && writeStates(folder, QStringLiteral("Right-"), capSize, base, cap(false));
}

QVariantMap style(const QString &color, double horizontal, double vertical)
{
    return {{QStringLiteral("text.color"), color},
            {QStringLiteral("padding.left"), horizontal},
            {QStringLiteral("padding.right"), horizontal},
            {QStringLiteral("padding.top"), vertical},
            {QStringLiteral("padding.bottom"), vertical}};
}

bool writeDescription(const QDir &folder, const QVariantMap &description)
{
    QString error;
    if (platform::PropertyList::write(description, folder.filePath(QStringLiteral("Info.plist")), &error))
        return true;
    QTextStream(stderr) << "Error: " << error << "\n";
    return false;
}

QDir makeFolder(const QString &resources, const QString &name)
{
    QDir folder(resources + QLatin1Char('/') + name + QStringLiteral(".button"));
    folder.mkpath(QStringLiteral("."));
    return folder;
}

bool pillButton(const QString &resources, const QString &name, int height, const QColor &fill, const QString &text, double horizontal)
{
    const QDir folder = makeFolder(resources, name);
    QVariantMap disabled = style(text, horizontal, 3);
    disabled.insert(QStringLiteral("text.color"), QStringLiteral("0.6 0.6 0.6 1"));
    return writePill(folder, height, fill)
        && writeDescription(folder, {{QStringLiteral("normal"), style(text, horizontal, 3)}, {QStringLiteral("disabled"), disabled}});
}

bool symbolButton(const QString &resources, const QString &name, const QColor &color, const Painting &paint)
{
    const QDir folder = makeFolder(resources, name);
    return writeStates(folder, QStringLiteral("Symbol-"), QSize(16, 16), color, paint) && writeDescription(folder, {});
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "Error: usage: make-button-art <resources folder>\n";
        return 1;
    }
    const QString resources = QString::fromLocal8Bit(argv[1]);
    const Painting cross = [](QPainter &painter, const QSizeF &size, const QColor &color) {
        painter.setBrush(color);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(QPointF(1, 1), size - QSizeF(2, 2)));
        painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        painter.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
    };
    const Painting grip = [](QPainter &painter, const QSizeF &size, const QColor &color) {
        for (double y : {4.5, 8.0, 11.5})
            painter.fillRect(QRectF(2, y - 0.75, size.width() - 4, 1.5), color);
    };
    const bool written = pillButton(resources, QStringLiteral("DefaultStyle"), 24, QColor(96, 96, 100), QStringLiteral("1 1 1 1"), 14)
        && pillButton(resources, QStringLiteral("DefaultStyleActive"), 24, QColor(38, 110, 220), QStringLiteral("1 1 1 1"), 14)
        && pillButton(resources, QStringLiteral("SmallWhite"), 18, QColor(250, 250, 250), QStringLiteral("0.1 0.1 0.1 1"), 8)
        && symbolButton(resources, QStringLiteral("Remove"), QColor(150, 150, 150), cross)
        && symbolButton(resources, QStringLiteral("Grab"), QColor(130, 130, 130), grip);
    return written ? 0 : 1;
}

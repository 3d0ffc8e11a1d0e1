// wiz_art.cpp - draws the wizard's artwork into PNG files: the watermark of the welcome and
// finish pages, the header banner of steps 1 to 5, the program icon and the eight frames of
// the connection animation. The PNGs are committed in src/wiz/art; run this after changing a
// drawing:  build/wiz-art src/wiz/art (from the top of the checkout)
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>

namespace {

const QColor DEEP_BLUE(0x1d, 0x3f, 0x72);
const QColor SKY_BLUE(0x5b, 0x9b, 0xd5);
const QColor PALE_BLUE(0xe8, 0xf1, 0xfb);
const QColor ACCESS_RED(0xa4, 0x37, 0x3a);
const QColor SERVER_GREY(0x5f, 0x6b, 0x7a);

// A database drum: an ellipse on top of a cylinder.
void draw_drum(QPainter& painter, QRectF box, const QColor& colour) {
    const qreal lid = box.height() / 5;
    QPainterPath body;
    body.moveTo(box.left(), box.top() + lid / 2);
    body.lineTo(box.left(), box.bottom() - lid / 2);
    body.arcTo(QRectF(box.left(), box.bottom() - lid, box.width(), lid), 180, 180);
    body.lineTo(box.right(), box.top() + lid / 2);
    body.closeSubpath();
    painter.setPen(QPen(colour.darker(140), 1.5));
    painter.setBrush(colour);
    painter.drawPath(body);
    painter.setBrush(colour.lighter(140));
    painter.drawEllipse(QRectF(box.left(), box.top(), box.width(), lid));
}

void draw_arrow(QPainter& painter, QPointF from, QPointF to, qreal width) {
    painter.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(from, QPointF(to.x() - width, to.y()));
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(to.x() - width * 2.2, to.y() - width * 1.6);
    head.lineTo(to.x() - width * 2.2, to.y() + width * 1.6);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(head);
}

QImage watermark() {
    QImage image(164, 314, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, image.height());
    sky.setColorAt(0, SKY_BLUE);
    sky.setColorAt(1, DEEP_BLUE);
    painter.fillRect(image.rect(), sky);
    draw_drum(painter, QRectF(22, 70, 48, 64), ACCESS_RED);
    draw_drum(painter, QRectF(94, 160, 50, 84), SERVER_GREY);
    draw_arrow(painter, QPointF(50, 150), QPointF(110, 150), 4);
    painter.setPen(QColor(255, 255, 255, 160));
    painter.setFont(QFont("Sans", 11, QFont::Bold));
    painter.drawText(QRectF(0, 270, 164, 30), Qt::AlignCenter, "Vantrel");
    return image;
}

QImage header() {
    QImage image(600, 58, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient band(0, 0, image.width(), 0);
    band.setColorAt(0, Qt::white);
    band.setColorAt(0.6, PALE_BLUE);
    band.setColorAt(1, SKY_BLUE.lighter(130));
    painter.fillRect(image.rect(), band);
    return image;
}

QImage icon() {
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(DEEP_BLUE);
    painter.drawRoundedRect(QRectF(1, 1, 62, 62), 12, 12);
    draw_drum(painter, QRectF(7, 14, 20, 30), ACCESS_RED);
    draw_drum(painter, QRectF(37, 18, 21, 34), SERVER_GREY.lighter(130));
    draw_arrow(painter, QPointF(22, 32), QPointF(42, 32), 3);
    return image;
}

// Frame `index` of 8: a ring of dots with the bright one a step further round each time.
QImage frame(int index) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int dot = 0; dot < 8; ++dot) {
        const double angle = (dot * 45.0 - 90.0) * M_PI / 180.0;
        const int age = (index - dot + 8) % 8;
        QColor colour = SKY_BLUE;
        colour.setAlpha(255 - age * 28);
        painter.setBrush(age == 0 ? DEEP_BLUE : colour);
        const qreal radius = age == 0 ? 4.0 : 3.0;
        painter.drawEllipse(QPointF(16 + 11 * std::cos(angle), 16 + 11 * std::sin(angle)), radius,
                            radius);
    }
    return image;
}

bool save(const QImage& image, const QString& path) {
    if (image.save(path, "PNG")) return true;
    std::fprintf(stderr, "wiz-art: cannot write %s\n", qPrintable(path));
    return false;
}

}   // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: wiz-art FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool b_ok = save(watermark(), folder.filePath("watermark.png"))
                && save(header(), folder.filePath("header.png"))
                && save(icon(), folder.filePath("icon.png"));
    for (int index = 0; index < 8 && b_ok; ++index) {
        b_ok = save(frame(index), folder.filePath(QString("frame%1.png").arg(index + 1)));
    }
    return b_ok ? 0 : 1;
}

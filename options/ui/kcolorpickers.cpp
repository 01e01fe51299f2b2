#include "kcolorpickers.h"

#include "kcolormodel.h"

#include <klitestyle.h>

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QtMath>

// ---- KHexColorPicker

namespace {
const int kOrigin = 3;
const int kTolerance = 3;
} // namespace

KHexColorPicker::KHexColorPicker(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

int KHexColorPicker::cellSize() const
{
    return KLiteStyle::dpiScaled(12);
}

QSize KHexColorPicker::sizeHint() const
{
    const int pitch = cellSize() + 2;
    return QSize(2 * kOrigin + kcolor::PresetColumns * pitch, 2 * kOrigin + 22 * pitch + 4);
}

QRect KHexColorPicker::cellRect(int cell) const
{
    const int s = cellSize();
    const int pitch = s + 2;
    if (cell < 0 || cell >= kcolor::PresetCells)
        return QRect();
    if (cell < kcolor::PresetFieldCells)
        return QRect(kOrigin + (cell % kcolor::PresetColumns) * pitch, kOrigin + (cell / kcolor::PresetColumns) * pitch, s, s);
    // Below the field: a large end cell, two rows of eight greys, the other end cell.
    const int top = kOrigin + 20 * pitch + 4;
    if (cell == kcolor::PresetFieldCells)
        return QRect(kOrigin, top, pitch + s, pitch + s);
    if (cell == kcolor::PresetCells - 1)
        return QRect(kOrigin + 10 * pitch, top, pitch + s, pitch + s);
    const int grey = cell - 401;
    return QRect(kOrigin + (2 + grey % 8) * pitch, top + (grey / 8) * pitch, s, s);
}

int KHexColorPicker::cellAt(const QPoint &pos) const
{
    // A point inside a cell picks that cell, even where a neighbour's tolerance reaches.
    for (int cell = 0; cell < kcolor::PresetCells; ++cell) {
        if (cellRect(cell).contains(pos))
            return cell;
    }
    for (int cell = 0; cell < kcolor::PresetCells; ++cell) {
        if (cellRect(cell).adjusted(-kTolerance, -kTolerance, kTolerance, kTolerance).contains(pos))
            return cell;
    }
    return -1;
}

void KHexColorPicker::setSelColor(const QColor &color)
{
    const QVector<QRgb> &colors = kcolor::presetColors();
    const int cell = colors.indexOf(color.rgb() | 0xFF000000u);
    if (cell != m_selected) {
        m_selected = cell;
        update();
    }
}

void KHexColorPicker::select(int cell)
{
    if (cell < 0 || cell >= kcolor::PresetCells)
        return;
    m_selected = cell;
    update();
    emit selectColor(QColor(kcolor::presetColors().at(cell)));
}

void KHexColorPicker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QVector<QRgb> &colors = kcolor::presetColors();
    for (int cell = 0; cell < kcolor::PresetCells; ++cell)
        painter.fillRect(cellRect(cell), QColor(colors[cell]));
    painter.setPen(QColor(0xE3, 0xE5, 0xE7));
    painter.setBrush(Qt::NoBrush);
    for (int cell = kcolor::PresetFieldCells; cell < kcolor::PresetCells; ++cell)
        painter.drawRect(cellRect(cell).adjusted(0, 0, -1, -1));
    if (m_selected >= 0) {
        const QRect r = cellRect(m_selected);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(r.adjusted(-2, -2, 1, 1));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(r.adjusted(-1, -1, 0, 0));
    }
}

void KHexColorPicker::mousePressEvent(QMouseEvent *event)
{
    setFocus();
    select(cellAt(event->pos()));
}

void KHexColorPicker::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (cellAt(event->pos()) >= 0)
        emit validDblClick();
}

void KHexColorPicker::keyPressEvent(QKeyEvent *event)
{
    const int next = kcolor::presetMove(m_selected, event->key());
    if (next == m_selected && event->key() != Qt::Key_Up && event->key() != Qt::Key_Down
        && event->key() != Qt::Key_Left && event->key() != Qt::Key_Right) {
        QWidget::keyPressEvent(event);
        return;
    }
    select(next);
}

// ---- KHSPicker

KHSPicker::KHSPicker(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(KLiteStyle::dpiScaled(QSize(160, 160)));
    setCursor(Qt::CrossCursor);
}

QSize KHSPicker::sizeHint() const
{
    return KLiteStyle::dpiScaled(QSize(220, 180));
}

void KHSPicker::resizeEvent(QResizeEvent *)
{
    const int w = width();
    const int h = height();
    m_plane = QImage(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_plane.scanLine(y));
        const int saturation = kcolor::planeSaturation(y, h);
        for (int x = 0; x < w; ++x)
            line[x] = QColor::fromHsl(kcolor::planeHue(x, w) * 359 / 255, saturation, 128).rgb();
    }
}

void KHSPicker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_plane);
    // The cross at the picked value: the inverse of the formulas that pick it.
    const int x = (width() - 1) * m_hue / 256;
    const int y = (height() - 1) * (255 - m_saturation) / 255;
    painter.setPen(QPen(Qt::black, KLiteStyle::dpiScaled(2)));
    const int arm = KLiteStyle::dpiScaled(6);
    painter.drawLine(x - arm, y, x - 2, y);
    painter.drawLine(x + 2, y, x + arm, y);
    painter.drawLine(x, y - arm, x, y - 2);
    painter.drawLine(x, y + 2, x, y + arm);
}

void KHSPicker::setCol(int hue, int saturation)
{
    if (hue == m_hue && saturation == m_saturation)
        return;
    m_hue = hue;
    m_saturation = saturation;
    update();
}

void KHSPicker::pick(const QPoint &pos)
{
    const int hue = kcolor::planeHue(pos.x(), width());
    const int saturation = kcolor::planeSaturation(pos.y(), height());
    setCol(hue, saturation);
    emit newCol(hue, saturation);
}

void KHSPicker::mousePressEvent(QMouseEvent *event)
{
    pick(event->pos());
}

void KHSPicker::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        pick(event->pos());
}

void KHSPicker::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (rect().contains(event->pos()))
        emit validDblClick();
}

// ---- KLPicker

KLPicker::KLPicker(QWidget *parent)
    : QWidget(parent)
{
    setFixedWidth(KLiteStyle::dpiScaled(20));
    setMinimumHeight(KLiteStyle::dpiScaled(160));
}

void KLPicker::setLightness(int lightness)
{
    m_lightness = qBound(0, lightness, 255);
    update();
}

void KLPicker::setCol(int hue, int saturation)
{
    m_hue = hue;
    m_saturation = saturation;
    update();
}

int KLPicker::lightnessAt(int y) const
{
    if (height() <= 1)
        return 0;
    return 255 - qBound(0, y, height() - 1) * 255 / (height() - 1);
}

void KLPicker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int bar = width() - KLiteStyle::dpiScaled(6);
    for (int y = 0; y < height(); ++y)
        painter.fillRect(0, y, bar, 1, QColor::fromHsl(m_hue * 359 / 255, m_saturation, lightnessAt(y)));
    // The marker: a small triangle beside the bar at the current lightness.
    const int y = (height() - 1) * (255 - m_lightness) / 255;
    const int s = KLiteStyle::dpiScaled(5);
    const QPoint tip(bar + 1, y);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(QPolygon({tip, QPoint(width(), y - s), QPoint(width(), y + s)}));
}

void KLPicker::mousePressEvent(QMouseEvent *event)
{
    setLightness(lightnessAt(event->pos().y()));
    emit newHsl(m_hue, m_saturation, m_lightness);
}

void KLPicker::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        mousePressEvent(event);
}

void KLPicker::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (rect().contains(event->pos()))
        emit validDblClick();
}

// ---- KColorShower

KColorShower::KColorShower(QWidget *parent)
    : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_mode = new QComboBox(this);
    m_mode->addItems({QStringLiteral("RGB"), QStringLiteral("HSL")});
    auto *modeLabel = new QLabel(tr("Color mo&de"), this);
    modeLabel->setBuddy(m_mode);
    grid->addWidget(modeLabel, 0, 0);
    grid->addWidget(m_mode, 0, 1);
    for (int i = 0; i < 4; ++i) {
        m_fields[i] = new QSpinBox(this);
        m_fields[i]->setRange(0, 255);
        m_labels[i] = new QLabel(this);
        m_labels[i]->setBuddy(m_fields[i]);
        grid->addWidget(m_labels[i], 1 + i % 3, i < 3 ? 0 : 2);
        grid->addWidget(m_fields[i], 1 + i % 3, i < 3 ? 1 : 3);
        connect(m_fields[i], &QSpinBox::editingFinished, this, &KColorShower::onColorEdit);
        connect(m_fields[i], QOverload<int>::of(&QSpinBox::valueChanged), this, &KColorShower::onColorEdit);
    }
    m_labels[3]->setText(tr("A&lpha channel:"));
    m_fields[3]->setValue(255);
    connect(m_mode, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &KColorShower::onColorModeChange);
    onColorModeChange(0);
}

int KColorShower::mode() const
{
    return m_mode->currentIndex();
}

QColor KColorShower::color() const
{
    return m_color;
}

void KColorShower::showColor(const QColor &color)
{
    int values[3];
    if (mode() == 0) {
        values[0] = color.red();
        values[1] = color.green();
        values[2] = color.blue();
    } else {
        // Hue, saturation and lightness on the 0..255 scale; achromatic colours show hue 0.
        const QColor hsl = color.toHsl();
        values[0] = hsl.hslHueF() < 0 ? 0 : qRound(hsl.hslHueF() * 255);
        values[1] = qRound(hsl.hslSaturationF() * 255);
        values[2] = qRound(hsl.lightnessF() * 255);
    }
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker block(m_fields[i]);
        m_fields[i]->setValue(values[i]);
    }
    const QSignalBlocker block(m_fields[3]);
    m_fields[3]->setValue(color.alpha());
}

void KColorShower::setRgb(QRgb rgb)
{
    m_color = QColor::fromRgba(rgb);
    showColor(m_color);
}

void KColorShower::onColorEdit()
{
    const int a = m_fields[0]->value();
    const int b = m_fields[1]->value();
    const int c = m_fields[2]->value();
    QColor color = mode() == 0 ? QColor(a, b, c) : QColor::fromHslF(a / 255.0, b / 255.0, c / 255.0);
    color.setAlpha(m_fields[3]->value());
    if (color == m_color)
        return;
    m_color = color;
    emit currentColorChancsbSecondValue(color);
}

void KColorShower::onColorModeChange(int mode)
{
    static const char *const rgb[] = {QT_TR_NOOP("&Red:"), QT_TR_NOOP("&Green:"), QT_TR_NOOP("Bl&ue:")};
    static const char *const hsl[] = {QT_TR_NOOP("Hu&e:"), QT_TR_NOOP("&Saturation:"), QT_TR_NOOP("&Luminance:")};
    for (int i = 0; i < 3; ++i)
        m_labels[i]->setText(tr(mode == 0 ? rgb[i] : hsl[i]));
    showColor(m_color);
}

// ---- KAlphaPanel

KAlphaPanel::KAlphaPanel(QWidget *parent)
    : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(tr("&Transparence"), this);
    m_bar = new QScrollBar(Qt::Horizontal, this);
    m_bar->setRange(0, 100);
    m_spin = new QSpinBox(this);
    m_spin->setRange(0, 100);
    m_spin->setFixedWidth(KLiteStyle::dpiScaled(48));
    label->setBuddy(m_spin);
    row->addWidget(label);
    row->addWidget(m_bar, 1);
    row->addWidget(m_spin);
    connect(m_bar, &QScrollBar::valueChanged, this, &KAlphaPanel::onTransScollBarValueChange);
    connect(m_spin, QOverload<int>::of(&QSpinBox::valueChanged), this, &KAlphaPanel::onTransSpinBoxValueChange);
}

int KAlphaPanel::value() const
{
    return m_spin->value();
}

void KAlphaPanel::setValue(int transparency)
{
    m_spin->setValue(transparency);
}

void KAlphaPanel::onTransScollBarValueChange(int value)
{
    if (m_spin->value() == value)
        return;
    m_spin->setValue(value);
}

void KAlphaPanel::onTransSpinBoxValueChange(int value)
{
    if (m_bar->value() != value) {
        const QSignalBlocker block(m_bar);
        m_bar->setValue(value);
    }
    emit valueChanged(value);
}

// ---- KDualColors

KDualColors::KDualColors(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(KLiteStyle::dpiScaled(QSize(70, 70)));
}

void KDualColors::setNewColor(const QColor &color)
{
    m_new = color;
    update();
}

void KDualColors::setCurrrentColor(const QColor &color)
{
    m_current = color;
    update();
}

void KDualColors::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int half = height() / 2;
    // Colours with transparency are shown over a checker board.
    painter.fillRect(rect(), QBrush(Qt::lightGray, Qt::Dense4Pattern));
    painter.fillRect(QRect(0, 0, width(), half), m_new);
    painter.fillRect(QRect(0, half, width(), height() - half), m_current);
    painter.setPen(QColor(0xCD, 0xCD, 0xCD));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// ---- KColorCircleHsv

KColorCircleHsv::KColorCircleHsv(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(KLiteStyle::dpiScaled(QSize(160, 160)));
}

QSize KColorCircleHsv::sizeHint() const
{
    return KLiteStyle::dpiScaled(QSize(220, 220));
}

QPointF KColorCircleHsv::centre() const
{
    return QPointF(width() / 2.0, height() / 2.0);
}

double KColorCircleHsv::outerRadius() const
{
    return qMin(width(), height()) / 2.0 - 2;
}

double KColorCircleHsv::innerRadius() const
{
    return outerRadius() * 0.8;
}

QPointF KColorCircleHsv::vertex(int index) const
{
    const double angle = m_hue * 2 * M_PI + M_PI / 2 + index * 2 * M_PI / 3;
    return centre() + QPointF(std::cos(angle), -std::sin(angle)) * (innerRadius() - 2);
}

void KColorCircleHsv::setColor(const QColor &color)
{
    const QColor hsv = color.toHsv();
    const double hue = hsv.hsvHueF() < 0 ? m_hue : hsv.hsvHueF();
    const bool turned = !qFuzzyCompare(hue + 1, m_hue + 1);
    m_hue = hue;
    m_sat = hsv.hsvSaturationF();
    m_val = hsv.valueF();
    if (turned)
        renderTriangle();
    update();
}

void KColorCircleHsv::resizeEvent(QResizeEvent *)
{
    renderTriangle();
}

void KColorCircleHsv::renderTriangle()
{
    m_triangle = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    m_triangle.fill(Qt::transparent);
    const QPointF a = vertex(0), b = vertex(1), c = vertex(2);
    const double det = (b.y() - c.y()) * (a.x() - c.x()) + (c.x() - b.x()) * (a.y() - c.y());
    if (qFuzzyIsNull(det))
        return;
    const QRect box = QPolygonF({a, b, c}).boundingRect().toAlignedRect().intersected(m_triangle.rect());
    for (int y = box.top(); y <= box.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_triangle.scanLine(y));
        for (int x = box.left(); x <= box.right(); ++x) {
            const double wa = ((b.y() - c.y()) * (x - c.x()) + (c.x() - b.x()) * (y - c.y())) / det;
            const double wb = ((c.y() - a.y()) * (x - c.x()) + (a.x() - c.x()) * (y - c.y())) / det;
            if (wa < 0 || wb < 0 || wa + wb > 1)
                continue;
            const double value = wa + wb;
            const double saturation = value > 0 ? wa / value : 0;
            line[x] = QColor::fromHsvF(m_hue, saturation, value).rgb();
        }
    }
}

void KColorCircleHsv::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QConicalGradient ring(centre(), 90);
    for (int i = 0; i <= 6; ++i)
        ring.setColorAt(i / 6.0, QColor::fromHsvF(qMin(1.0, i / 6.0), 1, 1));
    QPainterPath path;
    path.addEllipse(centre(), outerRadius(), outerRadius());
    path.addEllipse(centre(), innerRadius(), innerRadius());
    painter.fillPath(path, ring);
    painter.drawImage(0, 0, m_triangle);

    // Markers: the hue on the ring, the colour in the triangle.
    const double angle = m_hue * 2 * M_PI + M_PI / 2;
    const double mid = (outerRadius() + innerRadius()) / 2;
    const QPointF hueMark = centre() + QPointF(std::cos(angle), -std::sin(angle)) * mid;
    const QPointF at = vertex(2) + (vertex(1) - vertex(2)) * (m_val * (1 - m_sat))
                       + (vertex(0) - vertex(2)) * (m_val * m_sat);
    painter.setBrush(Qt::NoBrush);
    for (const QPointF &p : {hueMark, at}) {
        painter.setPen(QPen(Qt::white, 2));
        painter.drawEllipse(p, 4, 4);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawEllipse(p, 5.5, 5.5);
    }
}

void KColorCircleHsv::pick(const QPointF &pos)
{
    const QPointF d = pos - centre();
    if (m_drag == Ring) {
        double angle = std::atan2(-d.y(), d.x()) - M_PI / 2;
        while (angle < 0)
            angle += 2 * M_PI;
        m_hue = std::fmod(angle / (2 * M_PI), 1.0);
        renderTriangle();
    } else {
        // Barycentric weights of the pure hue and of white, clamped into the triangle.
        const QPointF a = vertex(0), b = vertex(1), c = vertex(2);
        const double det = (b.y() - c.y()) * (a.x() - c.x()) + (c.x() - b.x()) * (a.y() - c.y());
        double wa = ((b.y() - c.y()) * (pos.x() - c.x()) + (c.x() - b.x()) * (pos.y() - c.y())) / det;
        double wb = ((c.y() - a.y()) * (pos.x() - c.x()) + (a.x() - c.x()) * (pos.y() - c.y())) / det;
        wa = qMax(0.0, wa);
        wb = qMax(0.0, wb);
        if (wa + wb > 1) {
            const double sum = wa + wb;
            wa /= sum;
            wb /= sum;
        }
        m_val = qBound(0.0, wa + wb, 1.0);
        m_sat = m_val > 0 ? qBound(0.0, wa / m_val, 1.0) : 0;
    }
    update();
    emit colorChanged(color());
}

void KColorCircleHsv::mousePressEvent(QMouseEvent *event)
{
    const double distance = std::hypot(event->pos().x() - centre().x(), event->pos().y() - centre().y());
    if (distance > outerRadius())
        return;
    m_drag = distance >= innerRadius() ? Ring : Triangle;
    pick(event->pos());
}

void KColorCircleHsv::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag != None)
        pick(event->pos());
}

void KColorCircleHsv::mouseReleaseEvent(QMouseEvent *)
{
    m_drag = None;
}

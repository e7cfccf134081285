#include "ui/ProblemFormPicture.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <algorithm>
#include <vector>

namespace kvado::ui {
namespace {

// One piece of a formula: a letter or sign on the baseline, or a subscript below it.
struct Piece {
    QString text;
    enum Kind { Symbol, Sign, Subscript } kind;
};
using Cell = std::vector<Piece>;

// Two colours only, so no grey edges: text and lines are drawn without antialiasing.
QFont pictureFont(const char* family, int pixelSize, bool italic) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixelSize);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

class Typesetter {
public:
    Typesetter()
        : m_symbol(pictureFont("DejaVu Serif", 17, true)),
          m_sign(pictureFont("DejaVu Serif", 17, false)),
          m_subscript(pictureFont("DejaVu Serif", 11, false)) {}

    int width(const Cell& cell) const {
        int w = 0;
        for (const Piece& p : cell)
            w += QFontMetrics(font(p.kind)).horizontalAdvance(p.text);
        return w;
    }

    void draw(QPainter& painter, const Cell& cell, int x, int baseline) const {
        for (const Piece& p : cell) {
            painter.setFont(font(p.kind));
            painter.drawText(x, baseline + (p.kind == Piece::Subscript ? 5 : 0), p.text);
            x += painter.fontMetrics().horizontalAdvance(p.text);
        }
    }

private:
    const QFont& font(Piece::Kind kind) const {
        return kind == Piece::Symbol ? m_symbol : kind == Piece::Sign ? m_sign : m_subscript;
    }
    QFont m_symbol, m_sign, m_subscript;
};

// coef(row,col)·x(col), e.g. a11·x1; `index` is the coefficient's subscript.
Cell term(const char* coefficient, const QString& index, const QString& column) {
    return {{QString::fromLatin1(coefficient), Piece::Symbol},
            {index, Piece::Subscript},
            {QStringLiteral("\u00B7"), Piece::Sign},
            {QStringLiteral("x"), Piece::Symbol},
            {column, Piece::Subscript}};
}

Cell sign(const QString& s) {
    return {{s, Piece::Sign}};
}

// A row of the form: three terms with "+", "..." and "+" between them, the relation sign and
// the right-hand side, each in a column of its own.
std::vector<Cell> row(const char* coefficient, const QString& i, const QString& relation,
                      Cell rightHandSide) {
    return {term(coefficient, i + "1", "1"),
            sign("+"),
            term(coefficient, i + "2", "2"),
            sign("..."),
            sign("+"),
            term(coefficient, i + "n", "n"),
            sign(relation),
            std::move(rightHandSide)};
}

Cell rhs(const QString& i) {
    return {{"b", Piece::Symbol}, {i, Piece::Subscript}};
}

// A left brace from top to bottom with its tip at `tipX`, bending `depth` pixels.
QPainterPath brace(qreal tipX, qreal top, qreal bottom, qreal depth) {
    const qreal stemX = tipX + depth / 2, endX = tipX + depth, middle = (top + bottom) / 2;
    const qreal r = depth / 2;
    QPainterPath path(QPointF(endX, top));
    path.quadTo(stemX, top, stemX, top + r);
    path.lineTo(stemX, middle - r);
    path.quadTo(stemX, middle, tipX, middle);
    path.quadTo(stemX, middle, stemX, middle + r);
    path.lineTo(stemX, bottom - r);
    path.quadTo(stemX, bottom, endX, bottom);
    return path;
}

} // namespace

QImage makeProblemFormPicture() {
    const QString ge = QStringLiteral("\u2265"), le = QStringLiteral("\u2264");
    // The objective row shares the columns of the constraint rows, with Z as its right side.
    const std::vector<std::vector<Cell>> rows = {
        row("a", "1", ge, rhs("1")),
        row("a", "2", "=", rhs("2")),
        row("a", "3", le, rhs("3")),
        row("a", "m", le, rhs("m")),
        {term("c", "1", "1"), sign("+"), term("c", "2", "2"), sign("..."), sign("+"),
         term("c", "n", "n"), sign("="), Cell{{"Z", Piece::Symbol}}},
    };
    const int baselines[] = {24, 50, 76, 102, 134}; // a wider gap before the objective row
    const int left = 30, gap = 7;

    Typesetter typesetter;
    std::vector<int> columnX;
    int x = left;
    for (size_t c = 0; c < rows[0].size(); ++c) {
        columnX.push_back(x);
        int w = 0;
        for (const auto& r : rows)
            w = std::max(w, typesetter.width(r[c]));
        // The relation signs stand apart from the sums they close.
        x += w + (c + 2 == rows[0].size() || c + 3 == rows[0].size() ? 2 * gap : gap);
    }

    QImage canvas(kProblemFormWidth, kProblemFormHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawPath(brace(8, 6, 140, 14));
        painter.setPen(Qt::black);
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].size(); ++c)
                typesetter.draw(painter, rows[r][c], columnX[c], baselines[r]);
        painter.setFont(pictureFont("DejaVu Sans", 14, false));
        painter.drawText(x + gap, baselines[4], QStringLiteral("целевая функция"));
    }
    return canvas.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither);
}

} // namespace kvado::ui

// Palette generator and table reader of the carried themes.
#include "ThemePalette.h"

#include "platform/StyleManager.h"

#include <QStringList>

#include <cmath>

double Luminance(const QColor& AColor) {
    const auto linear = [](double AChannel) {
        return AChannel <= 0.04045 ? AChannel / 12.92 : std::pow((AChannel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = AColor.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double ContrastRatio(const QColor& AFirst, const QColor& ASecond) {
    const double first = Luminance(AFirst);
    const double second = Luminance(ASecond);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

bool IsDarkTheme(const TThemeColors& AColors) {
    return Luminance(AColors.Text) > Luminance(AColors.Window);
}

double RelativeLuminance(kvaderon::TColor AColor) {
    return Luminance(TStyleManager::Instance().GetSystemColor(AColor));
}

bool IsDarkTheme() {
    constexpr kvaderon::TColor WindowText = kvaderon::clSystemColorBase + 8;
    constexpr kvaderon::TColor Window = kvaderon::clSystemColorBase + 5;
    return RelativeLuminance(WindowText) > RelativeLuminance(Window);
}

QColor MixColors(const QColor& AFrom, const QColor& ATo, double AWeight) {
    const auto channel = [AWeight](int AFromValue, int AToValue) {
        return int(std::lround(AFromValue + (AToValue - AFromValue) * AWeight));
    };
    return QColor(channel(AFrom.red(), ATo.red()), channel(AFrom.green(), ATo.green()),
                  channel(AFrom.blue(), ATo.blue()));
}

namespace {

const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);

// Black or white, whichever stands out more from ABack.
QColor Extreme(const QColor& ABack) {
    return ContrastRatio(White, ABack) >= ContrastRatio(Black, ABack) ? White : Black;
}

// The first of twenty steps from AFrom (itself included) towards ATo that reaches ARatio against
// AOther; ATo when none does.
QColor FirstStepWithContrast(const QColor& AFrom, const QColor& ATo, const QColor& AOther, double ARatio) {
    for (int step = 0; step < 20; ++step) {
        const QColor candidate = MixColors(AFrom, ATo, step / 20.0);
        if (ContrastRatio(candidate, AOther) >= ARatio)
            return candidate;
    }
    return ATo;
}

// AFore moved towards black or white until it reaches ARatio against ABack.
QColor WithContrast(const QColor& AFore, const QColor& ABack, double ARatio) {
    return FirstStepWithContrast(AFore, Extreme(ABack), ABack, ARatio);
}

// White text on the selection where it reads, else black: one of the two always reaches 4.5.
void SetSelection(QPalette& APalette, QPalette::ColorGroup AGroup, const QColor& AHighlight) {
    APalette.setColor(AGroup, QPalette::Highlight, AHighlight);
    APalette.setColor(AGroup, QPalette::HighlightedText,
                      ContrastRatio(White, AHighlight) >= TextContrast ? White : Black);
}

// The bevel shades of a button face; a dark face needs more lightening to show an edge.
void SetShades(QPalette& APalette, QPalette::ColorGroup AGroup, const QColor& AButton) {
    const bool darkFace = Luminance(AButton) < 0.2;
    APalette.setColor(AGroup, QPalette::Light, MixColors(AButton, White, darkFace ? 0.18 : 0.7));
    APalette.setColor(AGroup, QPalette::Midlight, MixColors(AButton, White, darkFace ? 0.09 : 0.35));
    APalette.setColor(AGroup, QPalette::Mid, MixColors(AButton, Black, darkFace ? 0.25 : 0.2));
    APalette.setColor(AGroup, QPalette::Dark, MixColors(AButton, Black, darkFace ? 0.45 : 0.4));
    APalette.setColor(AGroup, QPalette::Shadow, MixColors(AButton, Black, darkFace ? 0.7 : 0.65));
}

} // namespace

QPalette MakeThemePalette(const TThemeColors& AColors) {
    const QColor windowText = WithContrast(AColors.Text, AColors.Window, TextContrast);
    const QColor text = WithContrast(AColors.Text, AColors.Base, TextContrast);
    // Fusion draws window text on button faces (tabs) and button text on the window (flat tool
    // buttons), so one colour serves both, and the face gives way towards the window until it
    // reads.
    const QColor buttonText = windowText;
    const QColor button = FirstStepWithContrast(AColors.Button, AColors.Window, windowText, TextContrast);
    const QColor highlight = WithContrast(AColors.Highlight, AColors.Base, HighlightContrast);
    const QColor link = WithContrast(AColors.Accent, AColors.Base, TextContrast);

    QPalette palette;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, AColors.Window);
        palette.setColor(group, QPalette::WindowText, windowText);
        palette.setColor(group, QPalette::Base, AColors.Base);
        palette.setColor(group, QPalette::AlternateBase, MixColors(AColors.Base, text, 0.05));
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::PlaceholderText,
                         WithContrast(MixColors(text, AColors.Base, 0.45), AColors.Base, PlaceholderContrast));
        palette.setColor(group, QPalette::Button, button);
        palette.setColor(group, QPalette::ButtonText, buttonText);
        palette.setColor(group, QPalette::ToolTipBase, AColors.Base);
        palette.setColor(group, QPalette::ToolTipText, text);
        palette.setColor(group, QPalette::Link, link);
        palette.setColor(group, QPalette::LinkVisited,
                         WithContrast(MixColors(link, text, 0.35), AColors.Base, TextContrast));
        SetShades(palette, group, button);
        SetSelection(palette, group, highlight);
        palette.setColor(group, QPalette::BrightText, Extreme(palette.color(group, QPalette::Dark)));
    }

    // Disabled: the same surfaces, text half-way to its background but still readable.
    const auto dimmed = [](const QColor& AFore, const QColor& ABack) {
        return WithContrast(MixColors(AFore, ABack, 0.5), ABack, DisabledTextContrast);
    };
    const QPalette::ColorGroup disabled = QPalette::Disabled;
    palette.setColor(disabled, QPalette::Window, AColors.Window);
    const QColor disabledWindowText = WithContrast(dimmed(windowText, AColors.Window), button, DisabledTextContrast);
    palette.setColor(disabled, QPalette::WindowText, disabledWindowText);
    palette.setColor(disabled, QPalette::Base, AColors.Base);
    palette.setColor(disabled, QPalette::AlternateBase, MixColors(AColors.Base, text, 0.05));
    palette.setColor(disabled, QPalette::Text, dimmed(text, AColors.Base));
    palette.setColor(disabled, QPalette::PlaceholderText, dimmed(text, AColors.Base));
    palette.setColor(disabled, QPalette::Button, button);
    palette.setColor(disabled, QPalette::ButtonText, disabledWindowText);
    palette.setColor(disabled, QPalette::ToolTipBase, AColors.Base);
    palette.setColor(disabled, QPalette::ToolTipText, dimmed(text, AColors.Base));
    palette.setColor(disabled, QPalette::Link, dimmed(link, AColors.Base));
    palette.setColor(disabled, QPalette::LinkVisited, dimmed(link, AColors.Base));
    palette.setColor(disabled, QPalette::BrightText, palette.color(QPalette::Active, QPalette::BrightText));
    SetShades(palette, disabled, button);
    SetSelection(palette, disabled, MixColors(highlight, AColors.Window, 0.4));
    return palette;
}

QList<TCarriedTheme> ParseThemeTable(const QString& AText, QStringList* AErrors) {
    QList<TCarriedTheme> themes;
    const QStringList lines = AText.split(QLatin1Char('\n'));
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        QStringList fields = line.split(QLatin1Char('|'));
        for (QString& field : fields)
            field = field.trimmed();
        bool valid = fields.size() == 7 && !fields[0].isEmpty();
        QColor colors[6];
        for (int i = 0; valid && i < 6; ++i) {
            colors[i] = QColor::fromString(fields[i + 1]);
            valid = colors[i].isValid() && fields[i + 1].startsWith(QLatin1Char('#'));
        }
        if (!valid) {
            if (AErrors)
                AErrors->append(QStringLiteral("line %1: %2").arg(index + 1).arg(line));
            continue;
        }
        themes.append({fields[0], {colors[0], colors[1], colors[2], colors[3], colors[4], colors[5]}});
    }
    return themes;
}

#include "reports/reportcriteria.h"

#include "core/artwork.h"
#include "records/procedurecall.h"
#include "core/programsettings.h"
#include "runtime/report/render.h"
#include "runtime/ui/dialogunits.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/window.h"
#include "runtime/values/text.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace tbk {

namespace {

const char *const kSelected = "Selected";
const char *const kAll = "All";

// Controls stand where the design puts them, in dialog units of the window's font.
class ReportCriteriaWindow : public Window {
public:
    explicit ReportCriteriaWindow(QString noun) : Window(QStringLiteral("ReportCriteria")), noun_(std::move(noun)) {}
    qint32 response() const { return call_.response(); }

protected:
    QWidget *createWindow() override;
    bool openRoutine() override;
    void takeEvent(const Event &e) override;

private:
    QRect at(int x, int y, int w, int h) const { return QRect(du_->x(x), du_->y(y), du_->x(w), du_->y(h)); }
    QGroupBox *option(QWidget *w, const QString &title, const QString &field, QRect place,
                      const QStringList &choices, const QList<QPoint> &radios);
    QCheckBox *check(QWidget *w, const QString &text, const QString &field, QPoint place);
    QPushButton *button(QWidget *w, const QString &text, QPoint place);
    // The entry is usable only for "Selected"; any other choice is "All".
    void includeRule();
    // The controls' values into the globals.
    void storeGlobals();
    void cancelWindow() {
        call_.setResponse(RequestCancelled);
        closeWindow();
    }

    ProcedureCall call_;
    QString noun_;
    std::unique_ptr<DialogUnits> du_;
    QRadioButton *standard_ = nullptr;
    QLineEdit *selection_ = nullptr;
};

QGroupBox *ReportCriteriaWindow::option(QWidget *w, const QString &title, const QString &field, QRect place,
                                        const QStringList &choices, const QList<QPoint> &radios) {
    auto *group = new QGroupBox(title, w);
    group->setObjectName(field);
    group->setGeometry(place);
    QList<QAbstractButton *> buttons;
    QVariantList values;
    for (int i = 0; i < choices.size(); ++i) {
        auto *b = new QRadioButton(choices[i], group);
        b->setGeometry(at(radios[i].x(), radios[i].y(), 60, 10).translated(-place.topLeft()));
        buttons << b;
        values << QString(choices[i]).remove(QLatin1Char('&'));
    }
    new OptionField(group, buttons, values);
    controls().add(group);
    return group;
}

QCheckBox *ReportCriteriaWindow::check(QWidget *w, const QString &text, const QString &field, QPoint place) {
    auto *box = new QCheckBox(text, w);
    box->setObjectName(field);
    // Its text whole, should the face here be wider than the design's.
    QRect r = at(place.x(), place.y(), 66, 10);
    r.setWidth(std::max(r.width(), box->sizeHint().width()));
    box->setGeometry(r);
    new CheckField(box);
    controls().add(box);
    return box;
}

QPushButton *ReportCriteriaWindow::button(QWidget *w, const QString &text, QPoint place) {
    auto *b = new QPushButton(text, w);
    b->setObjectName(QString(text).remove(QLatin1Char('&')));
    b->setGeometry(at(place.x(), place.y(), 53, 18));
    controls().add(b);
    return b;
}

QWidget *ReportCriteriaWindow::createWindow() {
    auto *w = new QWidget;
    w->setObjectName(procedureName());
    w->setWindowTitle(QStringLiteral("Report Criteria"));
    w->setWindowIcon(artworkIcon(QStringLiteral("WINPYR.ICO")));
    // The design's face at its size, in the face that stands in for it here.
    w->setFont(QFont(report::resolvedFace(QStringLiteral("MS Sans Serif")), 8));
    du_ = std::make_unique<DialogUnits>(w);
    controls().clear();

    QRect style = at(4, 4, 76, 65);
    QGroupBox *layout = option(w, QStringLiteral("Report &Style"), QStringLiteral("ReportLayout"), style,
                               {QStringLiteral("Standard"), QStringLiteral("Brief")}, {{9, 17}, {9, 27}});
    standard_ = layout->findChildren<QRadioButton *>().value(0);
    // The check boxes lie over the style group, as designed, but belong to the window.
    QCheckBox *preview = check(w, QStringLiteral("Preview"), QStringLiteral("ReportPreviewChoice"), {9, 43});
    QCheckBox *font = check(w, QStringLiteral("Use Custom Font"), QStringLiteral("ReportUseCustomFont"), {9, 55});
    preview->raise();
    font->raise();
    option(w, QStringLiteral("&Include"), QStringLiteral("SelectedOrAll"), at(84, 4, 136, 65),
           {QStringLiteral("All"), QStringLiteral("Selected")}, {{90, 17}, {90, 27}});
    auto *prompt = new QLabel(QStringLiteral("Select artists that start with:"), w);
    prompt->setObjectName(QStringLiteral("SelectionPrompt"));
    prompt->setGeometry(at(90, 40, 124, 10));
    selection_ = new QLineEdit(w);
    selection_->setObjectName(QStringLiteral("ReportSelection"));
    selection_->setGeometry(at(90, 52, 124, 12));
    new EntryField(selection_, QStringLiteral("@s30"));
    controls().add(selection_);
    prompt->setBuddy(selection_);
    QPushButton *ok = button(w, QStringLiteral("&Ok"), {57, 73});
    QPushButton *cancel = button(w, QStringLiteral("Cancel"), {113, 73});
    ok->setDefault(true);
    w->resize(du_->size(224, 95));

    controls().load([](const QString &field) -> QVariant {
        if (field == QLatin1String("ReportLayout"))
            return ReportLayout.str();
        if (field == QLatin1String("ReportPreviewChoice"))
            return ReportPreviewChoice;
        if (field == QLatin1String("ReportUseCustomFont"))
            return ReportUseCustomFont;
        if (field == QLatin1String("SelectedOrAll"))
            return SelectedOrAll.str();
        if (field == QLatin1String("ReportSelection"))
            return ReportSelection.str();
        return {};
    });
    on(ok, EventKind::Accepted, [this] {
        if (controls().validateAll())
            return;
        storeGlobals();
        call_.setResponse(RequestCompleted);
        closeWindow();
    });
    on(cancel, EventKind::Accepted, [this] { cancelWindow(); });
    return w;
}

bool ReportCriteriaWindow::openRoutine() {
    if (QLabel *prompt = widget()->findChild<QLabel *>(QStringLiteral("SelectionPrompt")))
        prompt->setText(QStringLiteral("Select ") + noun_ + QStringLiteral(" that start with:"));
    includeRule();
    alertKey(nullptr, Qt::Key_Escape);   // on every control, as a form's Cancel
    widget()->update();
    if (standard_)
        standard_->setFocus();
    return true;
}

void ReportCriteriaWindow::includeRule() {
    const bool selected = clip(SelectedOrAll.str()) == QLatin1String(kSelected);
    if (!selected) {
        SelectedOrAll = QString::fromLatin1(kAll);
        controls().setValue(QStringLiteral("SelectedOrAll"), SelectedOrAll.str());
    }
    selection_->setEnabled(selected);
}

void ReportCriteriaWindow::storeGlobals() {
    controls().store([](const QString &field, const QVariant &v) {
        if (field == QLatin1String("ReportLayout") && v.isValid() && !v.isNull())
            ReportLayout = v.toString();
        else if (field == QLatin1String("ReportPreviewChoice"))
            ReportPreviewChoice = quint8(v.toInt());
        else if (field == QLatin1String("ReportUseCustomFont"))
            ReportUseCustomFont = quint8(v.toInt());
        else if (field == QLatin1String("SelectedOrAll") && v.isValid() && !v.isNull())
            SelectedOrAll = v.toString();
        else if (field == QLatin1String("ReportSelection"))
            ReportSelection = v.toString();
    });
}

void ReportCriteriaWindow::takeEvent(const Event &e) {
    switch (e.kind) {
    case EventKind::Accepted:
        storeGlobals();
        if (e.control && e.control->objectName() == QLatin1String("SelectedOrAll"))
            includeRule();
        break;
    case EventKind::GainFocus:
        widget()->update();
        break;
    case EventKind::AlertKey:
        if (e.key == Qt::Key_Escape)
            cancelWindow();
        break;
    default:
        Window::takeEvent(e);
    }
}

} // namespace

void ReportCriteria(const QString &noun) { ReportCriteriaWindow(noun).run(); }

} // namespace tbk

// List boxes and combo boxes over QListWidget and QComboBox, with their items as TStrings
// that write through to the widget.
#include "platform/controls/StdCtrls.h"

#include "platform/controls/StdCtrlsQt.h"
#include "platform/runtime/SysUtils.h"
#include "platform/window/ControlsQt.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

namespace {

QListWidget* ListWidget(const TControl* control)
{
    return HostedAs<QListWidget>(control);
}

QComboBox* ComboWidget(const TControl* control)
{
    return HostedAs<QComboBox>(control);
}

// Makes a combo box's edit line that waits when the box is first shown.
class QvEditLineOnShow final : public QObject {
public:
    QvEditLineOnShow(TComboBox* owner, QObject* parent) : QObject(parent), owner_(owner) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Show)
            owner_->MakeEditLine();
        return false;
    }

private:
    TComboBox* owner_;
};

// Items of a list widget. Changes from code never look like the user's choice: the
// widget's signals are blocked while the rows change.
class TListBoxItems final : public TStrings {
public:
    TListBoxItems(TListBox* owner, QListWidget* list) : owner_(owner), list_(list) {}

    int Add(const std::string& S) override
    {
        int index = Count();
        if (owner_->Sorted()) {
            index = 0;
            while (index < Count() && AnsiCompareText(Get(index), S) <= 0)
                ++index;
        }
        Insert(index, S);
        return index;
    }
    void Insert(int Index, const std::string& S) override
    {
        if (Index < 0 || Index > Count())
            Error("List index out of bounds (%d)", Index);
        const QSignalBlocker quiet(list_);
        list_->insertItem(Index, QAnsi(S));
    }
    void Delete(int Index) override
    {
        CheckIndex(Index);
        const QSignalBlocker quiet(list_);
        delete list_->takeItem(Index);
    }
    void Clear() override
    {
        const QSignalBlocker quiet(list_);
        list_->clear();
    }

protected:
    std::string Get(int Index) const override
    {
        CheckIndex(Index);
        return AnsiOf(list_->item(Index)->text());
    }
    int GetCount() const override { return list_->count(); }
    void Put(int Index, const std::string& S) override
    {
        CheckIndex(Index);
        list_->item(Index)->setText(QAnsi(S));
    }

private:
    void CheckIndex(int Index) const
    {
        if (Index < 0 || Index >= list_->count())
            Error("List index out of bounds (%d)", Index);
    }

    TListBox* owner_;
    QListWidget* list_;
};

class TComboBoxItems final : public TStrings {
public:
    explicit TComboBoxItems(QComboBox* combo) : combo_(combo) {}

    void Insert(int Index, const std::string& S) override
    {
        if (Index < 0 || Index > Count())
            Error("List index out of bounds (%d)", Index);
        const QSignalBlocker quiet(combo_);
        const QString text = combo_->currentText();
        combo_->insertItem(Index, QAnsi(S));
        KeepEditText(text);
    }
    void Delete(int Index) override
    {
        CheckIndex(Index);
        const QSignalBlocker quiet(combo_);
        const QString text = combo_->currentText();
        combo_->removeItem(Index);
        KeepEditText(text);
    }
    void Clear() override
    {
        const QSignalBlocker quiet(combo_);
        const QString text = combo_->currentText();
        combo_->clear();
        KeepEditText(text);
    }

protected:
    std::string Get(int Index) const override
    {
        CheckIndex(Index);
        return AnsiOf(combo_->itemText(Index));
    }
    int GetCount() const override { return combo_->count(); }
    void Put(int Index, const std::string& S) override
    {
        CheckIndex(Index);
        combo_->setItemText(Index, QAnsi(S));
    }

private:
    void CheckIndex(int Index) const
    {
        if (Index < 0 || Index >= combo_->count())
            Error("List index out of bounds (%d)", Index);
    }
    // Changing the entries never changes the typed text, and selects nothing new in a
    // list that had no selection.
    void KeepEditText(const QString& text)
    {
        if (combo_->isEditable())
            combo_->setEditText(text);
        else if (text.isEmpty())
            combo_->setCurrentIndex(-1);
    }

    QComboBox* combo_;
};

}  // namespace

// ---- TListBox ---------------------------------------------------------------------------

TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    Window()->HostWidget(list);
    items_ = std::make_unique<TListBoxItems>(this, list);
    SetTabStop(true);
    SetColor(clWindow);
    ConnectGuarded(list, &QListWidget::currentRowChanged, this, [this](int) { Click(); });
    ConnectGuarded(list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { DblClick(); });
    SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox() = default;

TStrings* TListBox::Items() const
{
    return items_.get();
}

int TListBox::ItemIndex() const
{
    const QListWidget* list = ListWidget(this);
    const int row = list->currentRow();
    return row >= 0 && list->item(row)->isSelected() ? row : -1;
}

void TListBox::SetItemIndex(int Value)
{
    QListWidget* list = ListWidget(this);
    const QSignalBlocker quiet(list);
    if (Value < 0 || Value >= list->count()) {
        list->setCurrentRow(-1);
        list->clearSelection();
        return;
    }
    list->setCurrentRow(Value);
}

void TListBox::SetSorted(bool Value)
{
    if (sorted_ == Value)
        return;
    sorted_ = Value;
    if (!Value)
        return;
    // Sorts the rows there are by taking them out and adding them back.
    std::vector<std::string> rows;
    for (int i = 0; i < items_->Count(); ++i)
        rows.push_back(items_->Strings(i));
    items_->Clear();
    for (const std::string& row : rows)
        items_->Add(row);
}

// ---- TComboBox --------------------------------------------------------------------------

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* combo = new QComboBox;
    combo->setMaxVisibleItems(dropDownCount_);
    Window()->HostWidget(combo);
    items_ = std::make_unique<TComboBoxItems>(combo);
    SetTabStop(true);
    SetColor(clWindow);
    ConnectGuarded(combo, &QComboBox::activated, this, [this](int) {
        if (OnSelect)
            OnSelect(this);
    });
    // An edit box until told otherwise, but its edit line is made only when it is first
    // used or shown: most boxes are made lists at once, and the line would go unused.
    style_ = csDropDown;
    editLinePending_ = true;
    editLineOnShow_ = new QvEditLineOnShow(this, combo);
    combo->installEventFilter(editLineOnShow_);
    SetBounds(0, 0, 145, 21);
}

void TComboBox::MakeEditLine() const
{
    if (!editLinePending_)
        return;
    editLinePending_ = false;
    QComboBox* combo = ComboWidget(this);
    const QSignalBlocker quiet(combo);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    Window()->WatchHostedPart(combo->lineEdit());
    // Only what the user types is a change; text set from code is not.
    auto* self = const_cast<TComboBox*>(this);
    ConnectGuarded(combo->lineEdit(), &QLineEdit::textEdited, self, [self](const QString&) {
        if (self->OnChange)
            self->OnChange(self);
    });
}

// The widget outlives the box by a little: what it does then reaches the box no more.
TComboBox::~TComboBox()
{
    delete editLineOnShow_;
}

void TComboBox::SetStyle(TComboBoxStyle Value)
{
    style_ = Value;
    editLinePending_ = false;
    QComboBox* combo = ComboWidget(this);
    const bool editable = Value == csDropDown;
    if (combo->isEditable() == editable)
        return;
    if (editable) {
        editLinePending_ = true;
        MakeEditLine();
        return;
    }
    const QSignalBlocker quiet(combo);
    combo->setEditable(false);
}

TStrings* TComboBox::Items() const
{
    MakeEditLine();
    return items_.get();
}

int TComboBox::ItemIndex() const
{
    MakeEditLine();
    const QComboBox* combo = ComboWidget(this);
    const int index = combo->currentIndex();
    // An edit box whose text no longer is the chosen entry has no entry chosen.
    if (index >= 0 && combo->isEditable() && combo->currentText() != combo->itemText(index))
        return -1;
    return index;
}

void TComboBox::SetItemIndex(int Value)
{
    MakeEditLine();
    QComboBox* combo = ComboWidget(this);
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(Value >= 0 && Value < combo->count() ? Value : -1);
    if (combo->isEditable() && combo->currentIndex() < 0)
        combo->setEditText(QString());
}

std::string TComboBox::Text() const
{
    MakeEditLine();
    return AnsiOf(ComboWidget(this)->currentText());
}

void TComboBox::SetText(const std::string& Value)
{
    MakeEditLine();
    QComboBox* combo = ComboWidget(this);
    const QSignalBlocker quiet(combo);
    if (combo->isEditable()) {
        combo->setEditText(QAnsi(Value));
        return;
    }
    combo->setCurrentIndex(combo->findText(QAnsi(Value), Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

void TComboBox::SetDropDownCount(int Value)
{
    dropDownCount_ = std::max(Value, 1);
    ComboWidget(this)->setMaxVisibleItems(dropDownCount_);
}

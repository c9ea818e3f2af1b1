// The gutter: its options, the digit count in use and how line numbers are shown.
#include "qvedit/core/QvEditMiscClasses.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/core/QvEditMiscProcs.h"

TQvGutter::TQvGutter() : font_(std::make_unique<TFont>())
{
    font_->SetName("Courier New");
    font_->SetSize(8);
    font_->SetStyle(TFontStyles());
    font_->OnChange = TNotifyEvent(this, &TQvGutter::FontChanged);
}

void TQvGutter::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TQvGutter*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    // The font copy must not fire on its own: the whole copy reports one change.
    const TNotifyEvent fontHandler = font_->OnChange;
    font_->OnChange = nullptr;
    font_->Assign(src->font_.get());
    font_->OnChange = fontHandler;
    useFontStyle_ = src->useFontStyle_;
    color_ = src->color_;
    visible_ = src->visible_;
    width_ = src->width_;
    showLineNumbers_ = src->showLineNumbers_;
    leadingZeros_ = src->leadingZeros_;
    zeroStart_ = src->zeroStart_;
    leftOffset_ = src->leftOffset_;
    digitCount_ = src->digitCount_;
    rightOffset_ = src->rightOffset_;
    autoSize_ = src->autoSize_;
    autoSizeDigitCount_ = src->autoSizeDigitCount_;
    Changed();
}

void TQvGutter::AutoSizeDigitCount(Integer LinesCount)
{
    if (!visible_ || !autoSize_ || !showLineNumbers_) {
        autoSizeDigitCount_ = digitCount_;
        return;
    }
    if (zeroStart_)
        --LinesCount;
    const auto digits = static_cast<Integer>(IntToStr(LinesCount).size());
    const Integer count = Max(digits, digitCount_);
    if (count != autoSizeDigitCount_) {
        autoSizeDigitCount_ = count;
        Changed();
    }
}

std::string TQvGutter::FormatLineNumber(Integer Line) const
{
    if (zeroStart_)
        --Line;
    std::string number = IntToStr(Line);
    if (static_cast<Integer>(number.size()) < autoSizeDigitCount_)
        number.insert(0, static_cast<std::size_t>(autoSizeDigitCount_) - number.size(), ' ');
    if (leadingZeros_) {
        // Every leading blank but one in the last position (there is none there: the
        // number has at least one digit).
        for (std::size_t i = 0; i + 1 < number.size() && number[i] == ' '; ++i)
            number[i] = '0';
    }
    return number;
}

Integer TQvGutter::RealGutterWidth(Integer CharWidth) const
{
    if (!visible_)
        return 0;
    if (showLineNumbers_)
        return leftOffset_ + rightOffset_ + autoSizeDigitCount_ * CharWidth + 2;
    return width_;
}

void TQvGutter::SetAutoSize(bool Value) { Store(autoSize_, Value); }

void TQvGutter::SetBorderStyle(TQvGutterBorderStyle Value)
{
    borderStyle_ = Value;
    Changed();
}

void TQvGutter::SetColor(TColor Value) { Store(color_, Value); }
void TQvGutter::SetCursor(TCursor Value) { Store(cursor_, Value); }

void TQvGutter::SetDigitCount(Integer Value)
{
    Value = MinMax(Value, 2, 12);
    if (Value == digitCount_)
        return;
    digitCount_ = Value;
    autoSizeDigitCount_ = Value;
    Changed();
}

void TQvGutter::SetFont(TFont* Value)
{
    font_->Assign(Value);
}

void TQvGutter::SetLeadingZeros(bool Value) { Store(leadingZeros_, Value); }
void TQvGutter::SetLeftOffset(Integer Value) { Store(leftOffset_, Max(Value, 0)); }
void TQvGutter::SetRightOffset(Integer Value) { Store(rightOffset_, Max(Value, 0)); }
void TQvGutter::SetShowLineNumbers(bool Value) { Store(showLineNumbers_, Value); }
void TQvGutter::SetUseFontStyle(bool Value) { Store(useFontStyle_, Value); }
void TQvGutter::SetVisible(bool Value) { Store(visible_, Value); }
void TQvGutter::SetWidth(Integer Value) { Store(width_, Max(Value, 0)); }
void TQvGutter::SetZeroStart(bool Value) { Store(zeroStart_, Value); }

void TQvGutter::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TQvGutter::FontChanged(TObject*)
{
    Changed();
}

template <class T>
void TQvGutter::Store(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

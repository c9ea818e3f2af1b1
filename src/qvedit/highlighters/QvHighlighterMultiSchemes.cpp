// The schemes of the multi-language highlighter, the bookkeeping of the highlighters
// they refer to, and their storage in the registry.

#include "platform/files/Registry.h"
#include "platform/runtime/SysUtils.h"
#include "qvedit/core/QvEditStrConst.h"
#include "qvedit/highlighters/QvHighlighterMulti.h"
#include "qvedit/search/QvRegex.h"

namespace {

// Makes a scheme with the collection's notices held back until the item is whole, so
// that no listener looks at a half-built scheme.
TCollectionItem* MakeScheme(TCollection* Collection)
{
    Collection->BeginUpdate();
    TCollectionItem* item = nullptr;
    try {
        item = new TScheme(Collection);
    } catch (...) {
        Collection->EndUpdate();
        throw;
    }
    Collection->EndUpdate();
    return item;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TScheme

TScheme::TScheme(TCollection* Collection)
    : TCollectionItem(Collection),
      markerAttri_(std::make_unique<TQvHighlighterAttributes>(LoadResString(QVS_AttrMarker)))
{
    markerAttri_->SetBackground(clYellow);
    markerAttri_->SetStyle(fsBold);
    markerAttri_->SetDefaults(clYellow, clNone, fsBold);
    markerAttri_->OnChange = TNotifyEvent(this, &TScheme::MarkerAttriChanged);
}

TScheme::~TScheme()
{
    SetHighlighter(nullptr);
}

TQvMultiHighlighter* TScheme::OwnerHighlighter() const
{
    auto* schemes = dynamic_cast<TSchemes*>(Collection());
    return schemes != nullptr ? schemes->GetOwner() : nullptr;
}

void TScheme::SetCaseSensitive(bool Value)
{
    if (caseSensitive_ == Value)
        return;
    caseSensitive_ = Value;
    DropCompiled();
    Changed(false);
}

void TScheme::SetStartExpr(const std::string& Value)
{
    SetExpression(startExpr_, Value);
}

void TScheme::SetEndExpr(const std::string& Value)
{
    SetExpression(endExpr_, Value);
}

void TScheme::SetExpression(std::string& field, const std::string& Value)
{
    if (field == Value)
        return;
    if (!Value.empty()) {
        TRegex probe;  // raises ERegex for an invalid expression before anything changes
        probe.SetExpression(Value);
        probe.Compile();
    }
    const bool differs = CaseConverted(field) != CaseConverted(Value);
    field = Value;
    DropCompiled();
    if (differs)
        Changed(false);
}

std::string TScheme::CaseConverted(const std::string& Expr) const
{
    return caseSensitive_ ? Expr : AnsiUpperCase(Expr);
}

void TScheme::SetHighlighter(TQvCustomHighlighter* Value)
{
    if (Value == highlighter_)
        return;
    TQvMultiHighlighter* owner = OwnerHighlighter();
    if (Value != nullptr && Value == owner)
        throw Exception("A QvMultiHighlighter cannot be the highlighter of its own scheme.");
    TQvCustomHighlighter* old = highlighter_;
    highlighter_ = Value;
    if (owner == nullptr)
        return;
    owner->Unhook(old);
    owner->Hook(Value);
    if (!owner->UpdateRangeProcs())
        Changed(false);
}

void TScheme::SetMarkerAttri(TQvHighlighterAttributes* Value)
{
    if (Value != nullptr)
        markerAttri_->AssignColorAndStyle(Value);
}

void TScheme::MarkerAttriChanged(TObject* /*Sender*/)
{
    Changed(false);
}

std::string TScheme::GetDisplayName() const
{
    return schemeName_.empty() ? TCollectionItem::GetDisplayName() : schemeName_;
}

void TScheme::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TScheme*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaseSensitive(source->caseSensitive_);
    SetStartExpr(source->startExpr_);
    SetEndExpr(source->endExpr_);
    SetHighlighter(source->highlighter_);
    SetMarkerAttri(source->GetMarkerAttri());
    SetSchemeName(source->schemeName_);
    OnCheckStartMarker = source->OnCheckStartMarker;
    OnCheckEndMarker = source->OnCheckEndMarker;
}

TRegex& TScheme::StartRegex()
{
    return Compiled(startRegex_, startExpr_);
}

TRegex& TScheme::EndRegex()
{
    return Compiled(endRegex_, endExpr_);
}

TRegex& TScheme::Compiled(std::unique_ptr<TRegex>& regex, const std::string& Expr)
{
    if (!regex) {
        auto made = std::make_unique<TRegex>();
        made->SetExpression(Expr);
        made->SetModifier(1, !caseSensitive_);
        regex = std::move(made);
    }
    return *regex;
}

void TScheme::DropCompiled()
{
    startRegex_.reset();
    endRegex_.reset();
}

// ---------------------------------------------------------------------------------------
// TSchemes

TSchemes::TSchemes(TQvMultiHighlighter* AOwner) : TCollection(&MakeScheme, AOwner), owner_(AOwner)
{
}

void TSchemes::Update(TCollectionItem* /*Item*/)
{
    if (owner_ != nullptr)
        owner_->NotifyChange();
}

// ---------------------------------------------------------------------------------------
// Highlighter references of TQvMultiHighlighter

Integer TQvMultiHighlighter::ReferenceCount(TQvCustomHighlighter* AHighlighter) const
{
    Integer count = defaultHighlighter_ == AHighlighter ? 1 : 0;
    if (schemes_ != nullptr)
        for (int i = 0; i < schemes_->Count(); ++i)
            if (schemes_->Items(i)->GetHighlighter() == AHighlighter)
                ++count;
    return count;
}

// A highlighter referred to (as default or by schemes) is hooked once: its death and its
// attribute changes reach this highlighter until the last reference goes.
void TQvMultiHighlighter::Hook(TQvCustomHighlighter* AHighlighter)
{
    if (AHighlighter == nullptr || AHighlighter == this || ReferenceCount(AHighlighter) != 1)
        return;
    AHighlighter->FreeNotification(this);
    AHighlighter->HookAttrChangeEvent(TNotifyEvent(this, &TQvMultiHighlighter::DefHighlightChange));
}

void TQvMultiHighlighter::Unhook(TQvCustomHighlighter* AHighlighter)
{
    if (AHighlighter == nullptr || AHighlighter == this || ReferenceCount(AHighlighter) != 0)
        return;
    if (segmentOwner_ == AHighlighter)
        segmentOwner_ = nullptr;
    AHighlighter->RemoveFreeNotification(this);
    AHighlighter->UnhookAttrChangeEvent(
        TNotifyEvent(this, &TQvMultiHighlighter::DefHighlightChange));
}

void TQvMultiHighlighter::NotifyChange()
{
    if (!HasState(csDestroying))
        DefHighlightChange(nullptr);
}

void TQvMultiHighlighter::Notification(TComponent* AComponent, TOperation Operation)
{
    TQvCustomHighlighter::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent == nullptr || AComponent == this)
        return;
    auto* dying = dynamic_cast<TQvCustomHighlighter*>(AComponent);
    if (dying == nullptr || ReferenceCount(dying) == 0)
        return;
    if (defaultHighlighter_ == dying)
        SetDefaultHighlighter(nullptr);
    for (int i = 0; i < schemes_->Count(); ++i)
        if (schemes_->Items(i)->GetHighlighter() == dying)
            schemes_->Items(i)->SetHighlighter(nullptr);
}

void TQvMultiHighlighter::SetDefaultHighlighter(TQvCustomHighlighter* Value)
{
    if (Value == this)
        throw Exception("A QvMultiHighlighter cannot be its own DefaultHighlighter.");
    if (Value == defaultHighlighter_)
        return;
    TQvCustomHighlighter* old = defaultHighlighter_;
    defaultHighlighter_ = Value;
    Unhook(old);
    Hook(Value);
    NotifyChange();
}

// ---------------------------------------------------------------------------------------
// Registry storage of TQvMultiHighlighter

bool TQvMultiHighlighter::LoadFromRegistry(HKEY RootKey, const std::string& Key)
{
    return TransferRegistry(RootKey, Key, false);
}

bool TQvMultiHighlighter::SaveToRegistry(HKEY RootKey, const std::string& Key)
{
    return TransferRegistry(RootKey, Key, true);
}

// The default highlighter under Key\DefaultHighlighter; each scheme's marker attribute
// and highlighter under Key\<scheme name>. The result is the AND of all of them; a missing
// highlighter, an unnamed scheme or a key that cannot be opened makes it false.
bool TQvMultiHighlighter::TransferRegistry(HKEY RootKey, const std::string& Key, bool Save)
{
    auto transfer = [&](TQvCustomHighlighter* h, const std::string& subKey) {
        return h != nullptr &&
               (Save ? h->SaveToRegistry(RootKey, subKey) : h->LoadFromRegistry(RootKey, subKey));
    };
    bool result = transfer(defaultHighlighter_, Key + "\\DefaultHighlighter");
    for (int i = 0; i < schemes_->Count(); ++i) {
        TScheme* scheme = schemes_->Items(i);
        if (scheme->GetSchemeName().empty()) {
            result = false;
            continue;
        }
        const std::string schemeKey = Key + "\\" + scheme->GetSchemeName();
        TRegistry reg;
        try {
            reg.SetRootKey(RootKey);
        } catch (const ERegistryException&) {
            result = false;
            continue;
        }
        if (!(Save ? reg.OpenKey(schemeKey, true) : reg.OpenKeyReadOnly(schemeKey))) {
            result = false;
            continue;
        }
        TQvHighlighterAttributes* marker = scheme->GetMarkerAttri();
        result = (Save ? marker->SaveToRegistry(&reg) : marker->LoadFromRegistry(&reg)) && result;
        result = transfer(scheme->GetHighlighter(), schemeKey) && result;
    }
    return result;
}

// What the form tells a screen reader beyond the window order: names from
// another control's label and the role of a button drawn as a link, handed
// to the accessibility runtime as annotations.
#include "dialogs/form.h"

#include <initguid.h>  // the accessibility GUIDs, defined here once
#include <oleacc.h>

#include "platform/text.h"

namespace tsly::dialogs {
namespace {

// The accessibility runtime's annotation service; none without the runtime
// (then nothing would read the annotations either). Needs COM meanwhile.
win::ComPtr<IAccPropServices> AnnotationService() {
    IAccPropServices* raw = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&raw)))) {
        return nullptr;
    }
    return win::ComPtr<IAccPropServices>(raw);
}

}  // namespace

std::wstring WithoutAccessKey(std::wstring text) {
    const std::size_t amp = text.find(L'&');
    if (amp != std::wstring::npos) text.erase(amp, 1);
    return text;
}

std::wstring Form::AccessibleName(HWND control) const {
    const ControlDef* def = DefOf(control);
    const ControlDef* label = def && def->labelledBy ? DefOf(Control(def->labelledBy)) : nullptr;
    return label ? WithoutAccessKey(win::ToWide(label->text)) : std::wstring();
}

void SetAccessibleName(HWND control, const wchar_t* name) {
    const win::ComScope com;
    if (const auto services = AnnotationService()) {
        services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_NAME, name);
    }
}

LONG Form::AccessibleRole(HWND control) const {
    // A button drawn as a link opens a page: a screen reader says "link".
    const ControlDef* def = DefOf(control);
    return def && def->look == Look::Link ? ROLE_SYSTEM_LINK : 0;
}

void Form::NameControls(bool name) const {
    const win::ComScope com;
    const auto services = AnnotationService();
    if (!services) return;
    const auto object = static_cast<DWORD>(OBJID_CLIENT);
    for (const ControlDef& def : controlDefs_) {
        HWND control = Control(def.id);
        const std::wstring text = AccessibleName(control);
        if (!text.empty() && name) {
            services->SetHwndPropStr(control, object, CHILDID_SELF, PROPID_ACC_NAME, text.c_str());
        } else if (!text.empty()) {
            services->ClearHwndProps(control, object, CHILDID_SELF, &PROPID_ACC_NAME, 1);
        }
        if (const LONG role = AccessibleRole(control); role && name) {
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_I4;
            value.lVal = role;
            services->SetHwndProp(control, object, CHILDID_SELF, PROPID_ACC_ROLE, value);
            services->SetHwndPropStr(control, object, CHILDID_SELF, PROPID_ACC_DEFAULTACTION,
                                     L"ジャンプ");
        } else if (role) {
            const MSAAPROPID props[] = {PROPID_ACC_ROLE, PROPID_ACC_DEFAULTACTION};
            services->ClearHwndProps(control, object, CHILDID_SELF, props, 2);
        }
    }
}

}  // namespace tsly::dialogs

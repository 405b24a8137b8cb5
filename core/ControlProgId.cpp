// Where a control library's class id is registered.
#include "core/ControlProgId.h"

#include "core/TextNoCase.h"

std::u16string ControlProgIdClsidKey(std::u16string_view controlStem)
{
    std::u16string_view stem = controlStem;
    if (stem.size() >= 1 && stem.back() == u'U') stem.remove_suffix(1);
    if (stem.size() >= 2 && stem.substr(stem.size() - 2) == u"UD") stem.remove_suffix(2);
    std::u16string s(stem);
    if (EqualsNoCase(stem, u"LMVideo")) return s + u"." + s + u"SendCtrl.1\\CLSID";
    if (EqualsNoCase(stem, u"LMBoard")) return s + u"2." + s + u"2Ctrl.1\\CLSID";
    return s + u"." + s + u"Ctrl.1\\CLSID";
}

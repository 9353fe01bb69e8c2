#pragma once

namespace velmarith::toolkit {

/// Loads Qt's own Simplified Chinese texts (context menus, the accessibility actions) once per
/// process, unless the application already runs Qt in Chinese. Where the translation is not
/// installed, Qt's English texts stay; the forms' own texts are Chinese either way.
void installQtChineseTranslation();

} // namespace velmarith::toolkit

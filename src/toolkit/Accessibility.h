#pragma once

class QWidget;

namespace velmarith::toolkit {

/// Makes the forms' windows read well through assistive technology: a container exposes only
/// the controls a person can see, decorative pictures expose nothing, and a combo box is named
/// by its label, offers its entries as items that can be chosen, and tells its text as its value.
/// Installed once per process; widgets outside the forms keep Qt's own behaviour.
void installAccessibility();

/// Keeps a picture that only decorates the form out of the accessibility tree.
void markDecorative(QWidget *widget);

} // namespace velmarith::toolkit

// The one place where the subsystems' operations are connected to the
// window's buttons (see operation_wiring.h for what each may use).
#include "screen/operation_wiring.h"

#include <QAction>
#include <QPushButton>

#include "screen/main_window.h"

namespace zorbix::screen {

void WireCheckOperations(MainWindow& window, WindowContext& context) {
    (void)window, (void)context;
}

void WireExchangeOperations(MainWindow& window, WindowContext& context) {
    (void)window, (void)context;
}

void WireReportOperations(MainWindow& window, WindowContext& context) {
    (void)window, (void)context;
}

void WireSummaryOperations(MainWindow& window, WindowContext& context) {
    (void)window, (void)context;
}

void WireReconcileOperations(MainWindow& window, WindowContext& context) {
    (void)window, (void)context;
}

void WireOperations(MainWindow& window, WindowContext& context) {
    WireCheckOperations(window, context);
    WireExchangeOperations(window, context);
    WireReportOperations(window, context);
    WireSummaryOperations(window, context);
    WireReconcileOperations(window, context);
}

}  // namespace zorbix::screen

#pragma once
// Inside CTreeListCtrl members: a call from another thread is sent to the
// window's thread and runs there; its result comes back.
#define TL_ROUTE(expr) \
    do { if (IsForeignThread()) return OnWindowThread([&] { return expr; }); } while (0)

// The agenda order of code 53 applied to a page list: the moved pages (and the sub-pages of an
// item that has them) go directly after or before the target page, keeping their item order,
// and take the sub-page flags and caption the operation gives.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "lmboard2/boardbase/BoardFileHeader.h"

constexpr size_t kOrderItemBytes = 12;
constexpr size_t kOrderItemsAt = 80; // in the whole message

// What applying an order did: the indexes (in the new list) of the pages whose headers changed.
struct AgendaOrderResult
{
    std::vector<size_t> changed;
};

// Applies a whole code-53 message to the list; nothing when the message is short or its target
// name is not a safe page name (the list is then unchanged).
std::optional<AgendaOrderResult> ApplyAgendaOrderTo(std::vector<S_BOARD_FILEHDR>& pages, const uint8_t* pMsg,
                                                    size_t nLen);

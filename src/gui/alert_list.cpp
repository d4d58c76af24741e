#include "gui/alert_list.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qv {

AlertMsgNode* alert_msg_head = nullptr;
AlertMsgNode* current_alert_msg_node = nullptr;

namespace {

[[noreturn]] void out_of_memory()
{
    std::printf("Error: new_alert_msg_node()");
    std::fflush(stdout);
    std::exit(-1);
}

}  // namespace

AlertMsgNode* new_alert_msg_node()
{
    auto* node = static_cast<AlertMsgNode*>(g_try_malloc0(sizeof(AlertMsgNode)));
    if (node == nullptr) out_of_memory();
    return node;
}

void free_alert_msg_node(AlertMsgNode* node) { g_free(node); }

void append_alert_msg_node(AlertMsgNode* head, AlertMsgNode* node)
{
    AlertMsgNode* last = head;
    while (last->next != nullptr) last = last->next;
    last->next = node;
    node->prev = last;
    node->next = nullptr;
}

void del_alert_msg_node(AlertMsgNode* node)
{
    if (node == nullptr) return;
    if (node->prev != nullptr) node->prev->next = node->next;
    if (node->next != nullptr) node->next->prev = node->prev;
    g_free(node->text);
    free_alert_msg_node(node);
}

AlertMsgNode* get_next_alert_msg_node(AlertMsgNode* node) { return node == nullptr ? nullptr : node->next; }
AlertMsgNode* get_prev_alert_msg_node(AlertMsgNode* node) { return node == nullptr ? nullptr : node->prev; }

int get_alert_msg_node_index(AlertMsgNode* node)
{
    if (node == nullptr) return -1;
    int index = 0;
    for (AlertMsgNode* n = node->prev; n != nullptr; n = n->prev) ++index;
    return index;
}

int get_alert_msg_node_count(AlertMsgNode* head)
{
    if (head == nullptr) return -1;
    int count = 0;
    for (AlertMsgNode* n = head->next; n != nullptr; n = n->next) ++count;
    return count;
}

char* copy_alert_text(const char* text)
{
    const std::size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(g_try_malloc(size));
    if (copy == nullptr) out_of_memory();
    std::memcpy(copy, text, size);
    return copy;
}

}  // namespace qv

// The alert messages: a doubly linked list behind a head node without text.
#pragma once

namespace qv {

struct AlertMsgNode {
    AlertMsgNode* prev;
    AlertMsgNode* next;
    char* text;  // owned; null in the head
};

extern AlertMsgNode* alert_msg_head;
extern AlertMsgNode* current_alert_msg_node;  // the message shown, or the head

// A zeroed node; out of memory ends the program with status 255.
AlertMsgNode* new_alert_msg_node();
// Releases the node itself, not its text.
void free_alert_msg_node(AlertMsgNode* node);
void append_alert_msg_node(AlertMsgNode* head, AlertMsgNode* node);
// Unlinks the node and releases it with its text; null does nothing.
void del_alert_msg_node(AlertMsgNode* node);
AlertMsgNode* get_next_alert_msg_node(AlertMsgNode* node);
AlertMsgNode* get_prev_alert_msg_node(AlertMsgNode* node);
// Steps back to the head (head 0, first message 1); -1 for null.
int get_alert_msg_node_index(AlertMsgNode* node);
// Messages after the head; -1 for null.
int get_alert_msg_node_count(AlertMsgNode* head);

// A heap copy of text for a node; out of memory ends the program as above.
char* copy_alert_text(const char* text);

}  // namespace qv

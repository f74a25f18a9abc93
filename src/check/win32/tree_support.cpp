// The balancing of the standard library's ordered containers (the in-memory machine keeps its
// files and keys in them), compiled here for the 486: the prebuilt copy holds CMOV. The classic
// red-black tree: the header's parent is the root, its left and right the first and last nodes.

#include <map>
#include <memory>
#include <utility>

namespace std {
namespace {

using Node = _Rb_tree_node_base;

void RotateLeft(Node* const x, Node*& root) {
    Node* const y = x->_M_right;
    x->_M_right = y->_M_left;
    if (y->_M_left != nullptr) y->_M_left->_M_parent = x;
    y->_M_parent = x->_M_parent;
    if (x == root) {
        root = y;
    } else if (x == x->_M_parent->_M_left) {
        x->_M_parent->_M_left = y;
    } else {
        x->_M_parent->_M_right = y;
    }
    y->_M_left = x;
    x->_M_parent = y;
}

void RotateRight(Node* const x, Node*& root) {
    Node* const y = x->_M_left;
    x->_M_left = y->_M_right;
    if (y->_M_right != nullptr) y->_M_right->_M_parent = x;
    y->_M_parent = x->_M_parent;
    if (x == root) {
        root = y;
    } else if (x == x->_M_parent->_M_right) {
        x->_M_parent->_M_right = y;
    } else {
        x->_M_parent->_M_left = y;
    }
    y->_M_right = x;
    x->_M_parent = y;
}

bool IsBlack(const Node* node) { return node == nullptr || node->_M_color == _S_black; }

}  // namespace

Node* _Rb_tree_increment(Node* x) noexcept {
    if (x->_M_right != nullptr) {
        x = x->_M_right;
        while (x->_M_left != nullptr) x = x->_M_left;
        return x;
    }
    Node* parent = x->_M_parent;
    while (x == parent->_M_right) {
        x = parent;
        parent = parent->_M_parent;
    }
    // From the last node the walk climbs to the header, whose right is that node: the end.
    if (x->_M_right != parent) x = parent;
    return x;
}

const Node* _Rb_tree_increment(const Node* x) noexcept { return _Rb_tree_increment(const_cast<Node*>(x)); }

Node* _Rb_tree_decrement(Node* x) noexcept {
    // The header, red and its root's parent: one step back is the last node.
    if (x->_M_color == _S_red && x->_M_parent->_M_parent == x) return x->_M_right;
    if (x->_M_left != nullptr) {
        x = x->_M_left;
        while (x->_M_right != nullptr) x = x->_M_right;
        return x;
    }
    Node* parent = x->_M_parent;
    while (x == parent->_M_left) {
        x = parent;
        parent = parent->_M_parent;
    }
    return parent;
}

const Node* _Rb_tree_decrement(const Node* x) noexcept { return _Rb_tree_decrement(const_cast<Node*>(x)); }

void _Rb_tree_insert_and_rebalance(const bool insertLeft, Node* x, Node* p, Node& header) noexcept {
    Node*& root = header._M_parent;
    x->_M_parent = p;
    x->_M_left = nullptr;
    x->_M_right = nullptr;
    x->_M_color = _S_red;
    if (insertLeft) {
        p->_M_left = x;  // also the root of an empty tree, whose header is p
        if (p == &header) {
            header._M_parent = x;
            header._M_right = x;
        } else if (p == header._M_left) {
            header._M_left = x;
        }
    } else {
        p->_M_right = x;
        if (p == header._M_right) header._M_right = x;
    }

    while (x != root && x->_M_parent->_M_color == _S_red) {
        Node* const grandparent = x->_M_parent->_M_parent;
        if (x->_M_parent == grandparent->_M_left) {
            Node* const uncle = grandparent->_M_right;
            if (!IsBlack(uncle)) {
                x->_M_parent->_M_color = _S_black;
                uncle->_M_color = _S_black;
                grandparent->_M_color = _S_red;
                x = grandparent;
            } else {
                if (x == x->_M_parent->_M_right) {
                    x = x->_M_parent;
                    RotateLeft(x, root);
                }
                x->_M_parent->_M_color = _S_black;
                grandparent->_M_color = _S_red;
                RotateRight(grandparent, root);
            }
        } else {
            Node* const uncle = grandparent->_M_left;
            if (!IsBlack(uncle)) {
                x->_M_parent->_M_color = _S_black;
                uncle->_M_color = _S_black;
                grandparent->_M_color = _S_red;
                x = grandparent;
            } else {
                if (x == x->_M_parent->_M_left) {
                    x = x->_M_parent;
                    RotateRight(x, root);
                }
                x->_M_parent->_M_color = _S_black;
                grandparent->_M_color = _S_red;
                RotateLeft(grandparent, root);
            }
        }
    }
    root->_M_color = _S_black;
}

Node* _Rb_tree_rebalance_for_erase(Node* const z, Node& header) noexcept {
    Node*& root = header._M_parent;
    Node*& leftmost = header._M_left;
    Node*& rightmost = header._M_right;
    Node* y = z;
    Node* x = nullptr;
    Node* xParent = nullptr;

    if (y->_M_left == nullptr) {
        x = y->_M_right;
    } else if (y->_M_right == nullptr) {
        x = y->_M_left;
    } else {
        // Two children: z's successor y takes z's place.
        y = y->_M_right;
        while (y->_M_left != nullptr) y = y->_M_left;
        x = y->_M_right;
    }
    if (y != z) {
        z->_M_left->_M_parent = y;
        y->_M_left = z->_M_left;
        if (y != z->_M_right) {
            xParent = y->_M_parent;
            if (x != nullptr) x->_M_parent = y->_M_parent;
            y->_M_parent->_M_left = x;
            y->_M_right = z->_M_right;
            z->_M_right->_M_parent = y;
        } else {
            xParent = y;
        }
        if (root == z) {
            root = y;
        } else if (z->_M_parent->_M_left == z) {
            z->_M_parent->_M_left = y;
        } else {
            z->_M_parent->_M_right = y;
        }
        y->_M_parent = z->_M_parent;
        std::swap(y->_M_color, z->_M_color);
        y = z;  // the node that leaves the tree
    } else {
        xParent = y->_M_parent;
        if (x != nullptr) x->_M_parent = y->_M_parent;
        if (root == z) {
            root = x;
        } else if (z->_M_parent->_M_left == z) {
            z->_M_parent->_M_left = x;
        } else {
            z->_M_parent->_M_right = x;
        }
        if (leftmost == z) leftmost = z->_M_right == nullptr ? z->_M_parent : Node::_S_minimum(x);
        if (rightmost == z) rightmost = z->_M_left == nullptr ? z->_M_parent : Node::_S_maximum(x);
    }

    if (y->_M_color != _S_red) {
        while (x != root && IsBlack(x)) {
            if (x == xParent->_M_left) {
                Node* sibling = xParent->_M_right;
                if (sibling->_M_color == _S_red) {
                    sibling->_M_color = _S_black;
                    xParent->_M_color = _S_red;
                    RotateLeft(xParent, root);
                    sibling = xParent->_M_right;
                }
                if (IsBlack(sibling->_M_left) && IsBlack(sibling->_M_right)) {
                    sibling->_M_color = _S_red;
                    x = xParent;
                    xParent = xParent->_M_parent;
                } else {
                    if (IsBlack(sibling->_M_right)) {
                        sibling->_M_left->_M_color = _S_black;
                        sibling->_M_color = _S_red;
                        RotateRight(sibling, root);
                        sibling = xParent->_M_right;
                    }
                    sibling->_M_color = xParent->_M_color;
                    xParent->_M_color = _S_black;
                    if (sibling->_M_right != nullptr) sibling->_M_right->_M_color = _S_black;
                    RotateLeft(xParent, root);
                    break;
                }
            } else {
                Node* sibling = xParent->_M_left;
                if (sibling->_M_color == _S_red) {
                    sibling->_M_color = _S_black;
                    xParent->_M_color = _S_red;
                    RotateRight(xParent, root);
                    sibling = xParent->_M_left;
                }
                if (IsBlack(sibling->_M_right) && IsBlack(sibling->_M_left)) {
                    sibling->_M_color = _S_red;
                    x = xParent;
                    xParent = xParent->_M_parent;
                } else {
                    if (IsBlack(sibling->_M_left)) {
                        sibling->_M_right->_M_color = _S_black;
                        sibling->_M_color = _S_red;
                        RotateLeft(sibling, root);
                        sibling = xParent->_M_left;
                    }
                    sibling->_M_color = xParent->_M_color;
                    xParent->_M_color = _S_black;
                    if (sibling->_M_left != nullptr) sibling->_M_left->_M_color = _S_black;
                    RotateRight(xParent, root);
                    break;
                }
            }
        }
        if (x != nullptr) x->_M_color = _S_black;
    }
    return y;
}

// Asked only by get_deleter, which a program without run-time type information never calls
// with a type of its own; the tag's own identity is compared by address before this.
bool _Sp_make_shared_tag::_S_eq(const type_info&) noexcept { return false; }

}  // namespace std

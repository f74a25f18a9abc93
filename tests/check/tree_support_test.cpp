// The ordered containers' balancing that the Windows checker carries instead of the prebuilt
// one: linked into this test, it serves every std::set and std::multimap here, which must keep
// their order and the red-black rules through random insertions and erasures.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

using Node = std::_Rb_tree_node_base;

// The black height of the subtree, or -1 where a red node has a red child or heights differ.
int BlackHeight(const Node* node) {
    if (node == nullptr) return 1;
    if (node->_M_color == std::_S_red &&
        ((node->_M_left != nullptr && node->_M_left->_M_color == std::_S_red) ||
         (node->_M_right != nullptr && node->_M_right->_M_color == std::_S_red))) {
        return -1;
    }
    if ((node->_M_left != nullptr && node->_M_left->_M_parent != node) ||
        (node->_M_right != nullptr && node->_M_right->_M_parent != node)) {
        return -1;
    }
    const int left = BlackHeight(node->_M_left);
    const int right = BlackHeight(node->_M_right);
    if (left < 0 || left != right) return -1;
    return left + (node->_M_color == std::_S_black ? 1 : 0);
}

template <typename Tree>
void ExpectBalanced(const Tree& tree) {
    const Node* header = tree.end()._M_node;
    const Node* root = header->_M_parent;
    if (root == nullptr) return;
    EXPECT_EQ(root->_M_color, std::_S_black);
    EXPECT_GT(BlackHeight(root), 0);
    EXPECT_EQ(header->_M_left, Node::_S_minimum(const_cast<Node*>(root)));
    EXPECT_EQ(header->_M_right, Node::_S_maximum(const_cast<Node*>(root)));
}

TEST(TreeSupport, RandomInsertionsAndErasuresKeepOrderAndBalance) {
    std::mt19937 random(486);
    std::set<int> tree;
    std::vector<int> reference;
    for (int step = 0; step < 20000; ++step) {
        const int value = static_cast<int>(random() % 2000);
        if (random() % 3 != 0) {
            if (tree.insert(value).second) reference.insert(std::lower_bound(reference.begin(), reference.end(), value), value);
        } else if (tree.erase(value) != 0) {
            reference.erase(std::lower_bound(reference.begin(), reference.end(), value));
        }
        if (step % 500 == 0) ExpectBalanced(tree);
    }
    ExpectBalanced(tree);
    EXPECT_EQ(std::vector<int>(tree.begin(), tree.end()), reference);
    EXPECT_EQ(std::vector<int>(tree.rbegin(), tree.rend()), std::vector<int>(reference.rbegin(), reference.rend()));
    while (!tree.empty()) {
        tree.erase(std::next(tree.begin(), static_cast<long>(random() % tree.size())));
        ExpectBalanced(tree);
    }
}

TEST(TreeSupport, EqualKeysStayInInsertionOrder) {
    std::multimap<int, int> tree;
    for (int i = 0; i < 300; ++i) tree.emplace(i % 7, i);
    ExpectBalanced(tree);
    int last = -1;
    for (const auto& entry : tree) {
        if (entry.first == 3) {
            EXPECT_GT(entry.second, last);
            last = entry.second;
        }
    }
    EXPECT_EQ(std::prev(tree.end())->first, 6);
}

}  // namespace

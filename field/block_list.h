// The one container of the puzzle: an owning singly linked list of copies,
// appended at the tail only. Four element types share one set of operations: the blocks
// of one clear group, the groups of one match check, the dropping blocks and
// plain grid positions.
//
// The storage of a destroyed node is kept for the next node of the same kind
// on the same thread, so lists that are refilled every frame (the drops, the
// clear groups and their working copies) stop asking the heap once the store
// holds their largest size; reserveNodes fills it in advance. Nodes are
// still constructed and destroyed one by one, so every element made still
// reseeds the colour generator as a new block does.
#pragma once

#include "field/block.h"

#include <cstddef>
#include <iterator>
#include <new>
#include <type_traits>

template <class T>
class BlockList {
    struct Node {
        Node* next = nullptr;
        T value;
        Node() = default;
        explicit Node(const T& v) : value(v) {}
    };

public:
    // Block lists take any kind of block and turn it into their own kind;
    // a list of groups takes groups.
    using Element = std::conditional_t<std::is_base_of<Block, T>::value, Block, T>;

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        const_iterator() = default;
        reference operator*() const { return node_->value; }
        pointer operator->() const { return &node_->value; }
        const_iterator& operator++()
        {
            node_ = node_->next;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            node_ = node_->next;
            return before;
        }
        bool operator==(const const_iterator& o) const { return node_ == o.node_; }
        bool operator!=(const const_iterator& o) const { return node_ != o.node_; }

    private:
        friend class BlockList;
        explicit const_iterator(const Node* node) : node_(node) {}
        const Node* node_ = nullptr;
    };

    BlockList() = default;
    BlockList(const BlockList& other) { appendAll(other); }
    BlockList& operator=(const BlockList& other)
    {
        assign(other);
        return *this;
    }
    virtual ~BlockList() { clear(); }

    // Adds a copy of `element` as the new last node. A block becomes a new
    // element of this list's kind (a construction, so it reseeds the colour
    // generator) that takes the source's place, colour and bands.
    void append(const Element& element)
    {
        Node* node = makeNode(element);
        if (tail_)
            tail_->next = node;
        else
            head_ = node;
        tail_ = node;
        ++size_;
    }

    // Empties this list and appends a copy of each element of `other`, in
    // order. Assigning a list to itself keeps it as it is.
    void assign(const BlockList& other)
    {
        if (&other == this) return;
        clear();
        appendAll(other);
    }

    // Destroys every node (and, for groups, every inner list).
    void clear()
    {
        Node* node = head_;
        while (node) {
            Node* next = node->next;
            node->~Node();
            giveStorage(node);
            node = next;
        }
        head_ = nullptr;
        tail_ = nullptr;
        size_ = 0;
    }

    int size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // The element at `index` (0 = first), nullptr when the index is negative
    // or not below size().
    const T* at(int index) const
    {
        if (index < 0 || index >= size_) return nullptr;
        const Node* node = head_;
        for (int i = 0; i < index; ++i)
            node = node->next;
        return &node->value;
    }

    // The last element, nullptr when the list is empty.
    const T* last() const { return tail_ ? &tail_->value : nullptr; }

    const_iterator begin() const { return const_iterator(head_); }
    const_iterator end() const { return const_iterator(nullptr); }

    // Makes sure the calling thread keeps storage for at least `nodes` nodes
    // of this kind without asking the heap again.
    static void reserveNodes(int nodes)
    {
        Store& store = storeForTaking();
        while (store.count < nodes) {
            store.head = new (::operator new(sizeof(Node))) Spare{store.head};
            ++store.count;
        }
    }

private:
    // Node storage waiting for reuse, chained through its first bytes.
    struct Spare {
        Spare* next;
    };
    static_assert(sizeof(Node) >= sizeof(Spare), "a node holds a spare link");

    // Trivially destructible, so a list destroyed late at thread or program
    // exit still finds it; the Reaper empties it when the thread ends.
    struct Store {
        Spare* head;
        int count;
        bool closed;
    };
    struct Reaper {
        ~Reaper()
        {
            Store& store = threadStore();
            while (store.head) {
                Spare* next = store.head->next;
                ::operator delete(store.head);
                store.head = next;
            }
            store.count = 0;
            store.closed = true;
        }
    };
    static Store& threadStore()
    {
        static thread_local Store store{nullptr, 0, false};
        return store;
    }

    // The store, with its Reaper set up for this thread; only for code that
    // takes storage, which never runs after the thread's end began.
    static Store& storeForTaking()
    {
        static thread_local Reaper reaper;
        (void)reaper;
        return threadStore();
    }

    static void* takeStorage()
    {
        Store& store = storeForTaking();
        if (!store.head) return ::operator new(sizeof(Node));
        Spare* spare = store.head;
        store.head = spare->next;
        --store.count;
        return spare;
    }

    static void giveStorage(void* storage)
    {
        Store& store = threadStore();
        if (store.closed) {
            ::operator delete(storage);
            return;
        }
        store.head = new (storage) Spare{store.head};
        ++store.count;
    }

    static Node* makeNode(const Element& element)
    {
        void* storage = takeStorage();
        if constexpr (std::is_base_of<Block, T>::value) {
            Node* node = new (storage) Node();
            node->value.copyFrom(element);
            return node;
        } else {
            try {
                return new (storage) Node(element);
            } catch (...) {
                giveStorage(storage);
                throw;
            }
        }
    }

    void appendAll(const BlockList& other)
    {
        for (const Node* node = other.head_; node; node = node->next)
            append(node->value);
    }

    // The tail and the count are kept so that appending and size() do not
    // walk the list; the order of elements is exactly the append order.
    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    int size_ = 0;
};

using ClearGroup = BlockList<ClearBlock>;
using GroupList = BlockList<ClearGroup>;
using DropList = BlockList<DropBlock>;
using CellList = BlockList<Block>;

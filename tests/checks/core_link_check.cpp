// Linked with every object of the core libraries and nothing of Qt's widgets: the link
// itself is the check.
int main() {
    return 0;
}

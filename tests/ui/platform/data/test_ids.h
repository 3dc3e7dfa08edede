// Identifiers shared by the test dialogs.
#define IDC_NAME      501
#define IDC_PASSWORD  502
#define IDC_ACTIVE    1001
#define IDC_PROTOCOL  503
#define IDC_POP3      1010
#define IDC_IMAP      1011
#define IDS_CAPTION   208

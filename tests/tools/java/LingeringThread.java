import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;

// Returns from main at once, leaving a non-daemon thread that writes the file
// args[0] later; the VM must not go away before that.
public class LingeringThread {
    public static void main(String[] args) {
        Thread late = new Thread(() -> {
            try {
                Thread.sleep(700);
                Files.writeString(Path.of(args[0]), "written after main returned\n");
            } catch (InterruptedException | IOException e) {
                throw new RuntimeException(e);
            }
        }, "lingering");
        late.setDaemon(false);
        late.start();
    }
}

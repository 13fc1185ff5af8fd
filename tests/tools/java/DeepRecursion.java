import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;

// Overflows its thread's stack twice, catching StackOverflowError each time,
// and writes "recovered twice" to the file args[0].
public class DeepRecursion {
    private static int depth;

    private static void down() {
        depth++;
        down();
    }

    private static boolean overflows() {
        depth = 0;
        try {
            down();
        } catch (StackOverflowError expected) {
            return depth > 1000;
        }
        return false;
    }

    public static void main(String[] args) throws IOException {
        boolean first = overflows(), second = overflows();
        Files.writeString(Path.of(args[0]), first && second ? "recovered twice" : "failed");
    }
}

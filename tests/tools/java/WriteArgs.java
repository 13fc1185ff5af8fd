import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;

// Writes its thread's name and the remaining args, one per line (UTF-8), to
// the file args[0].  secondary() does the same into args[0] + ".secondary".
public class WriteArgs {
    public static void main(String[] args) throws IOException {
        write(Path.of(args[0]), args);
    }

    public static void secondary(String[] args) throws IOException {
        write(Path.of(args[0] + ".secondary"), args);
    }

    private static void write(Path file, String[] args) throws IOException {
        StringBuilder text = new StringBuilder(Thread.currentThread().getName()).append('\n');
        for (int i = 1; i < args.length; i++)
            text.append(args[i]).append('\n');
        Files.writeString(file, text, StandardCharsets.UTF_8);
    }
}

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;

// Writes the system properties named by args[1..], one per line, to the
// file args[0].
public class WriteProperty {
    public static void main(String[] args) throws IOException {
        StringBuilder text = new StringBuilder();
        for (int i = 1; i < args.length; i++)
            text.append(System.getProperty(args[i])).append('\n');
        Files.writeString(Path.of(args[0]), text, StandardCharsets.UTF_8);
    }
}

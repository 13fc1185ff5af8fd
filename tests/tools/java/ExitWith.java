// Ends the VM with System.exit(args[0]).
public class ExitWith {
    public static void main(String[] args) {
        System.exit(Integer.parseInt(args[0]));
    }
}
